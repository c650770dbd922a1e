#!/usr/bin/env bash
# Runs a test program on the shared test display once the server's reset
# after the previous test is over, and keeps it from resetting under the
# program (see hold_x_server).
# Usage: on_test_display.sh <program> [arguments...]
set -euo pipefail
source "$(dirname "$0")/program_test.sh"
require_display
"$@"
