#include "InstanceRequest.h"

#include <array>
#include <utility>

namespace sonvela {
namespace {

constexpr char kTyped = '\x01';
constexpr char kAccepted = '+';
constexpr char kRefused = '-';
constexpr char kEnd = '\0';

constexpr std::array<std::pair<InstanceRequest::Kind, std::string_view>, 3> kWords{{
    {InstanceRequest::Kind::Say, "say"},
    {InstanceRequest::Kind::ReadDraft, "read-draft"},
    {InstanceRequest::Kind::Stop, "stop"},
}};

std::string JoinFrom(const std::vector<std::string>& arguments, std::size_t first) {
    std::string joined;
    for (std::size_t i = first; i < arguments.size(); ++i) {
        if (!joined.empty())
            joined += ' ';
        joined += arguments[i];
    }
    return joined;
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::string EncodeRequest(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::OpenFile)
        return request.argument;
    for (const auto& [kind, word] : kWords)
        if (kind == request.kind)
            return std::string(1, kTyped) + std::string(word) + '\n' + request.argument;
    return request.argument;
}

std::optional<InstanceRequest> DecodeRequest(std::string_view message) {
    if (message.empty() || message.front() != kTyped)
        return InstanceRequest{InstanceRequest::Kind::OpenFile, std::string(message)};
    message.remove_prefix(1);
    const auto lineEnd = message.find('\n');
    const std::string_view word = message.substr(0, lineEnd);
    const std::string_view argument =
        lineEnd == std::string_view::npos ? std::string_view() : message.substr(lineEnd + 1);
    for (const auto& [kind, known] : kWords)
        if (word == known)
            return InstanceRequest{kind, std::string(argument)};
    return std::nullopt;
}

std::string EncodeAnswer(const RequestAnswer& answer) {
    if (answer.accepted)
        return std::string(1, kAccepted);
    std::string bytes(1, kRefused);
    // The reason ends at the first NUL, so it cannot hold one.
    for (char c : answer.reason)
        if (c != kEnd)
            bytes += c;
    bytes += kEnd;
    return bytes;
}

std::optional<RequestAnswer> DecodeAnswer(std::string_view bytes) {
    if (bytes.empty())
        return std::nullopt;
    if (bytes.front() == kAccepted)
        return RequestAnswer::Accepted();
    if (bytes.front() != kRefused)
        return RequestAnswer::Refused("运行中的程序给出了无法识别的回答");
    const auto end = bytes.find(kEnd);
    if (end == std::string_view::npos)
        return std::nullopt;
    return RequestAnswer::Refused(std::string(bytes.substr(1, end - 1)));
}

std::optional<CommandLineRequest> ParseRequestArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::nullopt;
    const std::string& option = arguments.front();
    if (option == "--stop") {
        if (arguments.size() > 1)
            return CommandLineRequest{std::nullopt, "--stop 后面不应有其他参数"};
        return CommandLineRequest{InstanceRequest{InstanceRequest::Kind::Stop, {}}, {}};
    }
    if (option == "--say") {
        std::string text = JoinFrom(arguments, 1);
        if (Blank(text))
            return CommandLineRequest{std::nullopt, "--say 后面缺少要读的文字"};
        return CommandLineRequest{InstanceRequest{InstanceRequest::Kind::Say, std::move(text)}, {}};
    }
    if (option == "--read-draft") {
        std::string name = JoinFrom(arguments, 1);
        if (Blank(name))
            return CommandLineRequest{std::nullopt, "--read-draft 后面缺少稿件的名称或编号"};
        return CommandLineRequest{
            InstanceRequest{InstanceRequest::Kind::ReadDraft, std::move(name)}, {}};
    }
    return std::nullopt;
}

} // namespace sonvela
