// What a later start of the program asks of the running instance, and the
// running instance's answer, as they travel over the single-instance
// channel.
//
// A message ends at a NUL byte, which neither a path nor a command-line
// argument can hold. A plain path is a file to open (what a desktop's "open
// with" hands over). A typed request starts with the byte 0x01, which no
// path starts with, then the request's word, a line break and its argument.
// The answer is '+' when the request was accepted, or '-' followed by the
// reason and a NUL.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

struct InstanceRequest {
    enum class Kind { OpenFile, Say, ReadDraft, Stop };
    Kind kind = Kind::OpenFile;
    std::string argument; // the path, the words, the draft's name or id

    bool operator==(const InstanceRequest&) const = default;
};

struct RequestAnswer {
    bool accepted = false;
    std::string reason; // when refused, in Chinese

    static RequestAnswer Accepted() { return {true, {}}; }
    static RequestAnswer Refused(std::string why) { return {false, std::move(why)}; }
    bool operator==(const RequestAnswer&) const = default;
};

// The message without its closing NUL.
std::string EncodeRequest(const InstanceRequest& request);
// Nothing for a typed message of an unknown word.
std::optional<InstanceRequest> DecodeRequest(std::string_view message);

// The answer's bytes, NUL included.
std::string EncodeAnswer(const RequestAnswer& answer);
// The answer once `bytes` hold it whole; nothing while more must come.
std::optional<RequestAnswer> DecodeAnswer(std::string_view bytes);

// The command line's request for the running instance: `--say TEXT…`,
// `--read-draft NAME_OR_ID…` (the words after the option joined by blanks,
// so a text need not be quoted) or `--stop`. Nothing when `arguments`
// (without the program's name) start with none of them.
struct CommandLineRequest {
    std::optional<InstanceRequest> request;
    std::string problem; // a malformed request: what is wrong, in Chinese
};
std::optional<CommandLineRequest> ParseRequestArguments(const std::vector<std::string>& arguments);

} // namespace sonvela
