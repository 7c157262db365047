// The helper's wire format: exact lines both sides rely on, and hostile input refused with a
// reason.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kit/HelperProtocol.hpp"

namespace velmora {
namespace {

using ::testing::HasSubstr;

std::string withoutNewline(std::string line) {
    EXPECT_EQ(line.back(), '\n');
    line.pop_back();
    return line;
}

TEST(HelperProtocol, MessagesHaveTheDocumentedLinesAndRoundTrip) {
    EXPECT_EQ(encodeRequest(HelperRequest::ping()), "{\"method\":\"ping\"}\n");
    EXPECT_EQ(encodeRequest(HelperRequest::setDisableSleep(true)),
              "{\"flag\":true,\"method\":\"setDisableSleep\"}\n");
    EXPECT_EQ(encodeRequest(HelperRequest::setPmset("sleep", "1")),
              "{\"key\":\"sleep\",\"method\":\"setPmset\",\"value\":\"1\"}\n");
    EXPECT_EQ(encodeReply(HelperReply::versionAnswer("2")), "{\"version\":\"2\"}\n");
    EXPECT_EQ(encodeReply(HelperReply::sleepState(false)), "{\"sleepDisabled\":false}\n");
    EXPECT_EQ(encodeReply(HelperReply::outcome(false, "Not allowed")),
              "{\"message\":\"Not allowed\",\"ok\":false}\n");

    const std::pair<HelperRequest, HelperReply> exchanges[] = {
        {HelperRequest::ping(), HelperReply::versionAnswer("2")},
        {HelperRequest::getDisableSleep(), HelperReply::sleepState(true)},
        {HelperRequest::setDisableSleep(false), HelperReply::outcome(false, std::nullopt)},
        {HelperRequest::setPmset("a\"\n\\", ""), HelperReply::outcome(false, "pmset exited 1")}};
    for (const auto& [request, reply] : exchanges) {
        auto line = encodeRequest(request);
        ASSERT_TRUE(line);
        auto parsedRequest = parseRequest(withoutNewline(*line));
        ASSERT_TRUE(parsedRequest) << parsedRequest.error();
        EXPECT_EQ(parsedRequest.value(), request);
        auto parsedReply = parseReply(withoutNewline(encodeReply(reply)), request.method);
        ASSERT_TRUE(parsedReply) << parsedReply.error();
        EXPECT_EQ(parsedReply.value(), reply);
    }
}

TEST(HelperProtocol, OverlongRequestIsNotEncoded) {
    EXPECT_FALSE(
        encodeRequest(HelperRequest::setPmset(std::string(kHelperMaxMessageBytes, 'k'), "1")));
    // Escaping counts: 1000 control characters become 6000 bytes.
    EXPECT_FALSE(encodeRequest(HelperRequest::setPmset("sleep", std::string(1000, '\x01'))));
}

TEST(HelperProtocol, LongOrBadReplyMessageIsCutOrRepairedNotThrown) {
    std::string message;
    for (int i = 0; i < 2000; ++i) {
        message += "\u00e9\n";  // two-byte character plus an escaped newline
    }
    std::string line = encodeReply(HelperReply::outcome(false, message));
    EXPECT_LE(line.size(), kHelperMaxMessageBytes);
    auto parsed = parseReply(withoutNewline(line), HelperMethod::setPmset);
    ASSERT_TRUE(parsed) << parsed.error();
    ASSERT_TRUE(parsed.value().message);
    EXPECT_EQ(message.rfind(*parsed.value().message, 0), 0u);
    EXPECT_GT(parsed.value().message->size(), 1000u);

    // Bytes that are not UTF-8 are replaced, not thrown.
    parsed = parseReply(withoutNewline(encodeReply(HelperReply::outcome(false, "bad \xff byte"))),
                        HelperMethod::setPmset);
    ASSERT_TRUE(parsed) << parsed.error();
    EXPECT_EQ(*parsed.value().message, "bad \uFFFD byte");
}

TEST(HelperProtocol, HostileRequestsAreRefusedWithAReason) {
    struct Case {
        std::string line;
        std::string reason;
    };
    const Case cases[] = {
        {"", "empty line"},
        {std::string(kHelperMaxMessageBytes, ' '), "longer than 4096 bytes"},
        {"{\"method\":\"ping\"", "not valid JSON"},
        {"{\"method\":\"ping\"} trailing", "not valid JSON"},
        {"\"ping\"", "not a JSON object"},
        {std::string(2000, '[') + std::string(2000, ']'), "not a JSON object"},  // no stack blowup
        {"{\"method\":\"pi\xffng\"}", "not valid JSON"},
        {"{}", "missing key \"method\""},
        {"{\"method\":1}", "\"method\" must hold strings"},
        {"{\"method\":\"Ping\"}", "unknown value \"Ping\""},
        {"{\"method\":\"ping\",\"extra\":1}", "unexpected key \"extra\""},
        {"{\"method\":\"setDisableSleep\"}", "missing key \"flag\""},
        {"{\"method\":\"setDisableSleep\",\"flag\":1}", "\"flag\" must be true or false"},
        {"{\"method\":\"setPmset\",\"key\":\"sleep\",\"value\":1}", "\"value\" must be a string"},
    };
    for (const auto& [line, reason] : cases) {
        auto parsed = parseRequest(line);
        EXPECT_FALSE(parsed) << line;
        EXPECT_THAT(parsed.error(), HasSubstr(reason)) << line;
    }
}

TEST(HelperProtocol, RepliesOfTheWrongShapeAreRefused) {
    struct Case {
        std::string line;
        HelperMethod method;
        std::string reason;
    };
    const Case cases[] = {
        {"{\"ok\":true}", HelperMethod::setPmset, "missing key \"message\""},
        {"{\"ok\":1,\"message\":null}", HelperMethod::setPmset, "\"ok\" must be true or false"},
        {"{\"ok\":false,\"message\":7}", HelperMethod::setPmset, "string or null"},
        {"{\"version\":\"2\"}", HelperMethod::setPmset, "unexpected key \"version\""},
        {"{\"ok\":true,\"message\":null}", HelperMethod::ping, "unexpected key"},
        {"{\"version\":2}", HelperMethod::ping, "\"version\" must be a string"},
        {"{\"sleepDisabled\":\"1\"}", HelperMethod::getDisableSleep, "must be true or false"},
        {"null", HelperMethod::setDisableSleep, "not a JSON object"},
    };
    for (const auto& [line, method, reason] : cases) {
        auto parsed = parseReply(line, method);
        EXPECT_FALSE(parsed) << line;
        EXPECT_THAT(parsed.error(), HasSubstr(reason)) << line;
    }
}

TEST(HelperLineReader, TakesTheFirstLineAcrossPiecesAndRefusesALineOverTheBound) {
    HelperLineReader reader;
    EXPECT_EQ(reader.feed("{\"ok\":"), HelperLineReader::Status::needMore);
    EXPECT_EQ(reader.feed("true}\n{\"later\":1}\n"), HelperLineReader::Status::complete);
    EXPECT_EQ(reader.line(), "{\"ok\":true}");
    EXPECT_EQ(reader.feed("more\n"), HelperLineReader::Status::complete);
    EXPECT_EQ(reader.line(), "{\"ok\":true}");

    HelperLineReader exact;
    EXPECT_EQ(exact.feed(std::string(kHelperMaxMessageBytes - 1, 'x') + "\n"),
              HelperLineReader::Status::complete);
    HelperLineReader over;
    EXPECT_EQ(over.feed(std::string(kHelperMaxMessageBytes - 1, 'x')),
              HelperLineReader::Status::needMore);
    EXPECT_EQ(over.feed("x"), HelperLineReader::Status::tooLong);
    EXPECT_EQ(over.feed("\n"), HelperLineReader::Status::tooLong);
    EXPECT_TRUE(over.line().empty());
}

}  // namespace
}  // namespace velmora
