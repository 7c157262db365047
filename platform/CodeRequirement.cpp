// The parser of the one requirement shape we accept.
#include "platform/CodeRequirement.hpp"

#include <array>

namespace velmora {

namespace {

constexpr std::array<std::string_view, 7> kFixedWords = {
    "anchor", "apple", "generic", "and", "certificate", "leaf[subject.OU]", "="};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

void skipBlanks(std::string_view& text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
}

// A word ends at a blank or at the end; a word of the fixed part must match exactly.
bool takeWord(std::string_view& text, std::string_view word) {
    skipBlanks(text);
    if (text.substr(0, word.size()) != word) {
        return false;
    }
    const auto rest = text.substr(word.size());
    if (!rest.empty() && !isBlank(rest.front())) {
        return false;
    }
    text = rest;
    return true;
}

// A double-quoted text in which a backslash makes the next character part of the text.
bool takeQuoted(std::string_view& text, std::string& out) {
    skipBlanks(text);
    if (text.empty() || text.front() != '"') {
        return false;
    }
    text.remove_prefix(1);
    while (!text.empty()) {
        const char c = text.front();
        text.remove_prefix(1);
        if (c == '"') {
            return true;
        }
        if (c == '\\') {
            if (text.empty()) {
                return false;
            }
            out += text.front();
            text.remove_prefix(1);
        } else {
            out += c;
        }
    }
    return false;
}

}  // namespace

Decoded<CodeRequirement> CodeRequirement::compile(std::string_view text) {
    for (const auto word : kFixedWords) {
        if (!takeWord(text, word)) {
            return Decoded<CodeRequirement>::failure("unsupported requirement: expected \"" +
                                                     std::string(word) + "\"");
        }
    }
    std::string team;
    if (!takeQuoted(text, team)) {
        return Decoded<CodeRequirement>::failure("unsupported requirement: expected a quoted team");
    }
    skipBlanks(text);
    if (!text.empty()) {
        return Decoded<CodeRequirement>::failure("unsupported requirement: text after the team");
    }
    if (team.empty()) {
        return Decoded<CodeRequirement>::failure("unsupported requirement: empty team");
    }
    return Decoded<CodeRequirement>::success(CodeRequirement(std::move(team)));
}

}  // namespace velmora
