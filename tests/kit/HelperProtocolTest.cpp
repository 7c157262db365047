// The helper's wire format: exact lines both sides rely on, and hostile input refused with a
// reason.
#include <stdexcept>
#include <string>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperProtocol.hpp"

namespace velmora {
namespace {

using ::testing::HasSubstr;

// The decoded value; a failure throws its reason, which fails the test.
template <class T>
const T& must(const Decoded<T>& decoded) {
    return decoded ? decoded.value() : throw std::runtime_error(decoded.error());
}

std::string withoutNewline(std::string line) {
    EXPECT_EQ(line.back(), '\n');
    line.pop_back();
    return line;
}

TEST(HelperProtocol, MessagesHaveTheDocumentedLinesAndRoundTrip) {
    EXPECT_EQ(encodeRequest(HelperRequest::setPmset("sleep", "1")),
              "{\"key\":\"sleep\",\"method\":\"setPmset\",\"value\":\"1\"}\n");
    EXPECT_EQ(encodeReply(HelperReply::outcome(false, "Not allowed")),
              "{\"message\":\"Not allowed\",\"ok\":false}\n");
    const std::pair<HelperRequest, HelperReply> exchanges[] = {
        {HelperRequest::ping(), HelperReply::versionAnswer("2")},
        {HelperRequest::getDisableSleep(), HelperReply::sleepState(true)},
        {HelperRequest::setDisableSleep(false), HelperReply::outcome(false, std::nullopt)},
        {HelperRequest::setPmset("a\"\n\\", ""), HelperReply::outcome(false, "pmset exited 1")}};
    for (const auto& [request, reply] : exchanges) {
        EXPECT_EQ(must(parseRequest(withoutNewline(encodeRequest(request).value()))), request);
        EXPECT_EQ(must(parseReply(withoutNewline(encodeReply(reply)), request.method)), reply);
    }
    EXPECT_FALSE(
        encodeRequest(HelperRequest::setPmset(std::string(kHelperMaxMessageBytes, 'k'), "1")));
    // Escaping counts: 1000 control characters become 6000 bytes.
    EXPECT_FALSE(encodeRequest(HelperRequest::setPmset("sleep", std::string(1000, '\x01'))));
}

// The bound counts the newline: a line of exactly the bound passes both ways, one byte more is
// refused both ways.
TEST(HelperProtocol, AMessageOfExactlyTheBoundPassesAndOneByteMoreIsRefused) {
    const std::size_t frame = encodeRequest(HelperRequest::setPmset("sleep", "")).value().size();
    const std::string fullValue(kHelperMaxMessageBytes - frame, '1');
    const auto atBound = encodeRequest(HelperRequest::setPmset("sleep", fullValue));
    ASSERT_TRUE(atBound);
    EXPECT_EQ(atBound.value().size(), kHelperMaxMessageBytes);
    EXPECT_EQ(must(parseRequest(withoutNewline(atBound.value()))),
              HelperRequest::setPmset("sleep", fullValue));
    EXPECT_FALSE(encodeRequest(HelperRequest::setPmset("sleep", fullValue + "1")));

    std::string over = withoutNewline(atBound.value());
    over.push_back(' ');  // still valid JSON, one byte longer
    EXPECT_THAT(parseRequest(over).error(),
                HasSubstr("longer than " + std::to_string(kHelperMaxMessageBytes) + " bytes"));
}

TEST(HelperProtocol, LongOrBadReplyMessageIsCutOrRepairedNotThrown) {
    std::string message;
    for (int i = 0; i < 2000; ++i) {
        message += "\u00e9\n";  // two-byte character plus an escaped newline
    }
    const std::string line = encodeReply(HelperReply::outcome(false, message));
    EXPECT_LE(line.size(), kHelperMaxMessageBytes);
    const auto cut = must(parseReply(withoutNewline(line), HelperMethod::setPmset)).message;
    ASSERT_TRUE(cut);
    EXPECT_EQ(message.rfind(*cut, 0), 0u);
    EXPECT_GT(cut->size(), 1000u);
    EXPECT_EQ(
        must(parseReply(withoutNewline(encodeReply(HelperReply::outcome(false, "bad \xff byte"))),
                        HelperMethod::setPmset))
            .message,
        "bad \uFFFD byte");
}

TEST(HelperProtocol, HostileRequestsAndRepliesOfTheWrongShapeAreRefusedWithAReason) {
    const std::pair<std::string, const char*> requests[] = {
        {"{\"method\":\"ping\"} trailing", "not valid JSON"},
        {std::string(2000, '[') + std::string(2000, ']'), "not a JSON object"},  // no stack blowup
        {"{\"method\":\"pi\xffng\"}", "not valid JSON"},
        {"{}", "missing key \"method\""},
        {"{\"method\":1}", "\"method\" must hold strings"},
        {"{\"method\":\"Ping\"}", "unknown value \"Ping\""},
        {"{\"method\":\"ping\",\"extra\":1}", "unexpected key \"extra\""},
        {"{\"method\":\"setPmset\",\"key\":\"sleep\",\"value\":\"1\",\"flag\":true}",
         "unexpected key \"flag\""},
        {"{\"method\":\"setDisableSleep\",\"flag\":true,\"value\":\"1\"}",
         "unexpected key \"value\""},
        {"{\"method\":\"setDisableSleep\",\"flag\":1}", "\"flag\" must be true or false"},
        {"{\"method\":\"setPmset\",\"key\":\"sleep\",\"value\":1}", "\"value\" must be a string"},
    };
    for (const auto& [line, reason] : requests) {
        EXPECT_THAT(parseRequest(line).error(), HasSubstr(reason)) << line;
    }
    const std::tuple<const char*, HelperMethod, const char*> replies[] = {
        {"{\"ok\":true}", HelperMethod::setPmset, "missing key \"message\""},
        {"{\"ok\":1,\"message\":null}", HelperMethod::setPmset, "\"ok\" must be true or false"},
        {"{\"ok\":false,\"message\":7}", HelperMethod::setPmset, "string or null"},
        {"{\"version\":\"2\"}", HelperMethod::setPmset, "unexpected key \"version\""},
        {"{\"version\":2}", HelperMethod::ping, "\"version\" must be a string"},
        {"{\"sleepDisabled\":\"1\"}", HelperMethod::getDisableSleep, "must be true or false"},
    };
    for (const auto& [line, method, reason] : replies) {
        EXPECT_THAT(parseReply(line, method).error(), HasSubstr(reason)) << line;
    }
}

TEST(HelperLineReader, TakesTheFirstLineAcrossPiecesAndRefusesALineOverTheBound) {
    using enum HelperLineReader::Status;
    HelperLineReader reader;
    EXPECT_EQ(reader.feed("{\"ok\":"), needMore);
    EXPECT_EQ(reader.feed("true}\n{\"later\":1}\n"), complete);
    EXPECT_EQ(reader.feed("more\n"), complete);
    EXPECT_EQ(reader.line(), "{\"ok\":true}");
    EXPECT_EQ(HelperLineReader().feed(std::string(kHelperMaxMessageBytes - 1, 'x') + "\n"),
              complete);
    HelperLineReader over;
    EXPECT_EQ(over.feed(std::string(kHelperMaxMessageBytes - 1, 'x')), needMore);
    EXPECT_EQ(over.feed("x"), tooLong);
    EXPECT_EQ(over.feed("\n"), tooLong);
    EXPECT_TRUE(over.line().empty());
}

}  // namespace
}  // namespace velmora
