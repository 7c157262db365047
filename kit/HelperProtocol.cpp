// Encoding and strict parsing of the helper's request and reply lines.
#include "kit/HelperProtocol.hpp"

#include <array>
#include <initializer_list>

#include <nlohmann/json.hpp>

#include "kit/JsonRead.hpp"

namespace velmora {

namespace {

using Json = nlohmann::json;

constexpr std::array<std::string_view, 4> kMethodNames{"ping", "getDisableSleep", "setDisableSleep",
                                                       "setPmset"};
constexpr char kNewline = '\n';
constexpr int kCompact = -1;  // dump() indent that writes the object on one line

// Invalid UTF-8 (a helper's message built from a tool's output) becomes U+FFFD instead of throwing.
std::string oneLine(const Json& object) {
    return object.dump(kCompact, ' ', false, Json::error_handler_t::replace) + kNewline;
}

bool fits(const std::string& line) {
    return line.size() <= kHelperMaxMessageBytes;
}

// A peer that sends keys we do not know is speaking some other protocol; refuse rather than guess.
void requireOnlyKeys(const Json& object, std::initializer_list<std::string_view> keys) {
    for (const auto& item : object.items()) {
        bool known = false;
        for (std::string_view key : keys) {
            known = known || item.key() == key;
        }
        if (!known) {
            throw json::DecodeError("unexpected key \"" + item.key() + "\"");
        }
    }
}

Decoded<Json> parseObject(std::string_view line, std::string_view what) {
    if (line.empty()) {
        return Decoded<Json>::failure(std::string(what) + ": empty line");
    }
    // The bound counts the newline, which the caller has already taken off.
    if (line.size() >= kHelperMaxMessageBytes) {
        return Decoded<Json>::failure(std::string(what) + ": longer than " +
                                      std::to_string(kHelperMaxMessageBytes) + " bytes");
    }
    Json object = Json::parse(line, nullptr, false);
    if (object.is_discarded()) {
        return Decoded<Json>::failure(std::string(what) + ": not valid JSON");
    }
    if (!object.is_object()) {
        return Decoded<Json>::failure(std::string(what) + ": not a JSON object");
    }
    return Decoded<Json>::success(std::move(object));
}

// Cuts at most `excess` bytes more than needed so the result still ends on a character boundary.
void shorten(std::string& text, std::size_t excess) {
    std::size_t keep = excess >= text.size() ? 0 : text.size() - excess;
    while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    text.resize(keep);
}

}  // namespace

template <>
const std::vector<HelperMethod>& allCases<HelperMethod>() {
    static const std::vector<HelperMethod> cases{HelperMethod::ping, HelperMethod::getDisableSleep,
                                                 HelperMethod::setDisableSleep,
                                                 HelperMethod::setPmset};
    return cases;
}

std::string_view rawValue(HelperMethod method) {
    return kMethodNames.at(static_cast<std::size_t>(method));
}

HelperRequest HelperRequest::ping() {
    return {HelperMethod::ping, false, {}, {}};
}
HelperRequest HelperRequest::getDisableSleep() {
    return {HelperMethod::getDisableSleep, false, {}, {}};
}
HelperRequest HelperRequest::setDisableSleep(bool disable) {
    return {HelperMethod::setDisableSleep, disable, {}, {}};
}
HelperRequest HelperRequest::setPmset(std::string key, std::string value) {
    return {HelperMethod::setPmset, false, std::move(key), std::move(value)};
}

HelperReply HelperReply::versionAnswer(std::string version) {
    HelperReply reply;
    reply.kind = Kind::version;
    reply.version = std::move(version);
    return reply;
}
HelperReply HelperReply::sleepState(bool disabled) {
    HelperReply reply;
    reply.kind = Kind::sleepState;
    reply.sleepDisabled = disabled;
    return reply;
}
HelperReply HelperReply::outcome(bool ok, std::optional<std::string> message) {
    HelperReply reply;
    reply.kind = Kind::outcome;
    reply.ok = ok;
    reply.message = std::move(message);
    return reply;
}

HelperReply::Kind HelperReply::kindAnswering(HelperMethod method) {
    switch (method) {
        case HelperMethod::ping:
            return Kind::version;
        case HelperMethod::getDisableSleep:
            return Kind::sleepState;
        case HelperMethod::setDisableSleep:
        case HelperMethod::setPmset:
            return Kind::outcome;
    }
    return Kind::outcome;
}

std::optional<std::string> encodeRequest(const HelperRequest& request) {
    Json object{{"method", std::string(rawValue(request.method))}};
    switch (request.method) {
        case HelperMethod::ping:
        case HelperMethod::getDisableSleep:
            break;
        case HelperMethod::setDisableSleep:
            object["flag"] = request.flag;
            break;
        case HelperMethod::setPmset:
            object["key"] = request.key;
            object["value"] = request.value;
            break;
    }
    std::string line = oneLine(object);
    if (!fits(line)) {
        return std::nullopt;
    }
    return line;
}

std::string encodeReply(const HelperReply& reply) {
    switch (reply.kind) {
        case HelperReply::Kind::version: {
            std::string version = reply.version;
            std::string line = oneLine(Json{{"version", version}});
            while (!fits(line)) {
                shorten(version, line.size() - kHelperMaxMessageBytes);
                line = oneLine(Json{{"version", version}});
            }
            return line;
        }
        case HelperReply::Kind::sleepState:
            return oneLine(Json{{"sleepDisabled", reply.sleepDisabled}});
        case HelperReply::Kind::outcome:
            break;
    }
    if (!reply.message) {
        return oneLine(Json{{"ok", reply.ok}, {"message", nullptr}});
    }
    // Escaping can make the line longer than the text, so shorten until the line fits.
    std::string message = *reply.message;
    std::string line = oneLine(Json{{"ok", reply.ok}, {"message", message}});
    while (!fits(line)) {
        shorten(message, line.size() - kHelperMaxMessageBytes);
        line = oneLine(Json{{"ok", reply.ok}, {"message", message}});
    }
    return line;
}

Decoded<HelperRequest> parseRequest(std::string_view line) {
    auto parsed = parseObject(line, "request");
    if (!parsed) {
        return Decoded<HelperRequest>::failure(parsed.error());
    }
    const Json& object = parsed.value();
    try {
        HelperRequest request;
        request.method = json::enumValue<HelperMethod>(json::member(object, "method"), "method");
        switch (request.method) {
            case HelperMethod::ping:
            case HelperMethod::getDisableSleep:
                requireOnlyKeys(object, {"method"});
                break;
            case HelperMethod::setDisableSleep:
                requireOnlyKeys(object, {"method", "flag"});
                request.flag = json::boolean(object, "flag");
                break;
            case HelperMethod::setPmset:
                requireOnlyKeys(object, {"method", "key", "value"});
                request.key = json::string(object, "key");
                request.value = json::string(object, "value");
                break;
        }
        return Decoded<HelperRequest>::success(std::move(request));
    } catch (const json::DecodeError& e) {
        return Decoded<HelperRequest>::failure(std::string("request: ") + e.what());
    }
}

Decoded<HelperReply> parseReply(std::string_view line, HelperMethod answering) {
    auto parsed = parseObject(line, "reply");
    if (!parsed) {
        return Decoded<HelperReply>::failure(parsed.error());
    }
    const Json& object = parsed.value();
    try {
        switch (HelperReply::kindAnswering(answering)) {
            case HelperReply::Kind::version:
                requireOnlyKeys(object, {"version"});
                return Decoded<HelperReply>::success(
                    HelperReply::versionAnswer(json::string(object, "version")));
            case HelperReply::Kind::sleepState:
                requireOnlyKeys(object, {"sleepDisabled"});
                return Decoded<HelperReply>::success(
                    HelperReply::sleepState(json::boolean(object, "sleepDisabled")));
            case HelperReply::Kind::outcome:
                break;
        }
        requireOnlyKeys(object, {"ok", "message"});
        bool ok = json::boolean(object, "ok");
        const Json& message = json::member(object, "message");
        if (message.is_null()) {
            return Decoded<HelperReply>::success(HelperReply::outcome(ok, std::nullopt));
        }
        if (!message.is_string()) {
            throw json::DecodeError("\"message\" must be a string or null");
        }
        return Decoded<HelperReply>::success(HelperReply::outcome(ok, message.get<std::string>()));
    } catch (const json::DecodeError& e) {
        return Decoded<HelperReply>::failure(std::string("reply: ") + e.what());
    }
}

HelperLineReader::Status HelperLineReader::feed(std::string_view bytes) {
    if (status_ != Status::needMore) {
        return status_;
    }
    std::size_t end = bytes.find(kNewline);
    std::string_view piece = bytes.substr(0, end);
    // The bound counts the newline too, so a line may hold one byte less than the bound.
    if (line_.size() + piece.size() >= kHelperMaxMessageBytes) {
        line_.clear();
        status_ = Status::tooLong;
        return status_;
    }
    line_.append(piece);
    if (end != std::string_view::npos) {
        status_ = Status::complete;
    }
    return status_;
}

}  // namespace velmora
