// Prints the reader's figures as "name: value" lines:
//   segment_gap_ms               median time between two segments beyond the
//                                configured pause (goal <= 2)
//   segment_cost_10MB_over_10KB  reader cost per segment in a 10 MB text over
//                                that in a 10 KB text (goal <= 1.5)
//   reader_soak_rss_kb           resident memory growth over 10,000 readings
//   reader_soak_threads          thread count growth over the same readings
#include "InMemoryEditor.h"
#include "ReadingState.h"
#include "TestSpeechVoice.h"
#include "Tts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace sonvela;
using namespace std::chrono_literals;
using Ms = std::chrono::duration<double, std::milli>;

namespace {

GbkString G(std::string_view utf8) {
    return Utf8ToGbk(utf8);
}

std::vector<DelaySymbolRow> Table(int fullStopPause) {
    return {{G("。"), fullStopPause, true}, {G("，"), 0, true}, {G("！"), 0, true}};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A text of lines of two segments each, about `bytes` long.
GbkString SampleText(std::size_t bytes) {
    const GbkString line = G("这是一个测试用的句子，用来测量朗读的开销。\n");
    GbkString text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

// A reader that does not end is a failure of the reader, not a figure.
void WaitForReaders(ReaderHost& host) {
    if (!host.WaitUntilIdle(60s)) {
        std::fprintf(stderr, "a reading did not end within 60 s\n");
        std::exit(1);
    }
}

long StatusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// Gaps between consecutive segments, less the pause each segment asked for.
double SegmentGapMs() {
    constexpr int kFullStopPause = 5;
    ReadingState state;
    getdelaystring(state, Table(kFullStopPause));
    TestSpeechVoice voice(20us);
    InMemoryEditor editor(SampleText(4000));
    ReaderHost host(state, voice, editor);
    host.gundong1({0, false});
    WaitForReaders(host);

    const auto spoken = voice.Spoken();
    std::vector<double> gaps;
    for (std::size_t i = 0; i + 1 < spoken.size(); ++i) {
        const std::string_view text = spoken[i].text;
        const int pause = text.ends_with(G("。")) ? kFullStopPause : 0;
        gaps.push_back(Ms(spoken[i + 1].start - spoken[i].end).count() - pause);
    }
    return Median(gaps);
}

// Reader cost per segment: the time from one segment's start to the next
// with a voice that takes no time, over the first `segments` segments.
double CostPerSegmentMs(const GbkString& text, int segments) {
    ReadingState state;
    getdelaystring(state, Table(0));
    TestSpeechVoice voice(0us);
    InMemoryEditor editor(text);
    editor.SetKeepSelectionHistory(false);
    ReaderHost host(state, voice, editor);
    voice.SetSpeakHook([&](const GbkString&) {
        if (voice.SpeakStarts() >= segments)
            state.stopreading = true;
    });
    // Start in the middle: a cost that grows with the offset shows too.
    editor.SetCaret(static_cast<std::int32_t>(text.size() / 2 / 4096 * 4096));
    host.gundong1({0, false});
    WaitForReaders(host);
    const auto spoken = voice.Spoken();
    return Ms(spoken.back().start - spoken.front().start).count() /
           static_cast<double>(spoken.size() - 1);
}

double CostRatio() {
    const GbkString small = SampleText(10 * 1024);
    const GbkString large = SampleText(10 * 1024 * 1024);
    std::vector<double> smallCosts;
    std::vector<double> largeCosts;
    for (int round = 0; round < 7; ++round) {
        smallCosts.push_back(CostPerSegmentMs(small, 150));
        largeCosts.push_back(CostPerSegmentMs(large, 150));
    }
    return Median(largeCosts) / Median(smallCosts);
}

void Soak() {
    ReadingState state;
    getdelaystring(state, Table(0));
    TestSpeechVoice voice(0us);
    voice.SetRecording(false);
    const GbkString text = G("短句。测试！");
    InMemoryEditor editor(text);
    editor.SetKeepSelectionHistory(false);
    ReaderHost host(state, voice, editor);

    const auto pass = [&] {
        editor.SetSelection(0, static_cast<std::int32_t>(text.size()));
        state.readrange = true;
        state.enableafter = false;
        host.readtxt({0, false});
        WaitForReaders(host);
    };
    // Warm-up: the allocator's and the thread library's caches fill once.
    for (int i = 0; i < 50; ++i)
        pass();
    const long rssBefore = StatusField("VmRSS");
    const long threadsBefore = StatusField("Threads");
    for (int i = 0; i < 10000; ++i)
        pass();
    const long rssAfter = StatusField("VmRSS");
    const long threadsAfter = StatusField("Threads");
    std::printf("reader_soak_rss_kb: %ld\n", rssAfter - rssBefore);
    std::printf("reader_soak_threads: %ld\n", threadsAfter - threadsBefore);
}

} // namespace

int main() {
    std::printf("segment_gap_ms: %.3f\n", SegmentGapMs());
    std::printf("segment_cost_10MB_over_10KB: %.3f\n", CostRatio());
    Soak();
    return 0;
}
