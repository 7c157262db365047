// Walks a binary property list's object table, or an XML one's tags, counting what parsing would
// build without building it.
#include "platform/PlistLimits.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ToolOutput.hpp"

namespace velmora {

namespace {

constexpr std::string_view binaryMagic = "bplist";
constexpr std::size_t headerSize = 8;  // "bplist00"
constexpr std::size_t trailerSize = 32;
// Trailer layout: 6 unused bytes, the offset size, the reference size, then three 8-byte numbers.
constexpr std::size_t trailerOffsetSize = 6;
constexpr std::size_t trailerRefSize = 7;
constexpr std::size_t trailerObjectCount = 8;
constexpr std::size_t trailerTopObject = 16;
constexpr std::size_t trailerTableOffset = 24;
constexpr std::size_t maxIntSize = 8;

// Object markers: the high nibble is the type, the low one a count (15: a count object follows).
constexpr unsigned typeData = 0x4;
constexpr unsigned typeAscii = 0x5;
constexpr unsigned typeUtf16 = 0x6;
constexpr unsigned typeArray = 0xA;
constexpr unsigned typeSet = 0xC;
constexpr unsigned typeDict = 0xD;
constexpr unsigned typeInteger = 0x1;
constexpr unsigned countFollows = 0xF;
constexpr unsigned char firstNonAscii = 0x80;
constexpr std::uint16_t highSurrogateFirst = 0xD800;
constexpr std::uint16_t lowSurrogateFirst = 0xDC00;
constexpr std::uint16_t surrogateEnd = 0xE000;

std::string tooMany() {
    return "it would expand to more than " + std::to_string(PlistLimits::maxNodes) + " values";
}

std::string tooDeep() {
    return "it nests deeper than " + std::to_string(PlistLimits::maxDepth) + " levels";
}

std::string notUtf8() {
    return "it holds text that is not well-formed UTF-8";
}

class BinaryPlist {
  public:
    explicit BinaryPlist(std::string_view bytes) : bytes_(bytes) {}

    std::optional<std::string> refusal() {
        if (bytes_.size() < headerSize + trailerSize) {
            return broken();
        }
        const std::size_t trailer = bytes_.size() - trailerSize;
        offsetSize_ = byteAt(trailer + trailerOffsetSize);
        refSize_ = byteAt(trailer + trailerRefSize);
        if (!validIntSize(offsetSize_) || !validIntSize(refSize_)) {
            return broken();
        }
        const std::uint64_t count = number(trailer + trailerObjectCount, maxIntSize);
        const std::uint64_t top = number(trailer + trailerTopObject, maxIntSize);
        tableOffset_ = number(trailer + trailerTableOffset, maxIntSize);
        // Every object takes at least one byte before the table, every table entry its size.
        if (count == 0 || top >= count || tableOffset_ < headerSize || tableOffset_ > trailer ||
            count > tableOffset_ || count > (trailer - tableOffset_) / offsetSize_) {
            return broken();
        }
        count_ = static_cast<std::size_t>(count);
        return walk(static_cast<std::size_t>(top));
    }

  private:
    enum class State : std::uint8_t { unseen, open, done };
    struct Object {
        unsigned type = 0;
        std::uint64_t count = 0;
        std::size_t payload = 0;  // where its bytes or references start
    };
    struct Frame {
        std::size_t object;
        std::size_t refs;  // where its references start
        std::uint64_t refCount;
        std::uint64_t next = 0;
        std::uint64_t nodes = 1;  // itself and the children counted so far
        std::size_t depth = 1;
    };

    static bool validIntSize(std::size_t size) { return size >= 1 && size <= maxIntSize; }
    static std::string broken() { return "its binary layout is broken"; }

    std::size_t byteAt(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }

    // A big-endian number of `size` bytes; the caller has checked that they are there.
    std::uint64_t number(std::size_t at, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value = (value << 8) | byteAt(at + i);
        }
        return value;
    }

    bool inObjects(std::uint64_t at, std::uint64_t size) const {
        return at <= tableOffset_ && size <= tableOffset_ - at;
    }

    std::optional<Object> objectAt(std::size_t index) const {
        const std::uint64_t at = number(tableOffset_ + index * offsetSize_, offsetSize_);
        if (at < headerSize || !inObjects(at, 1)) {
            return std::nullopt;
        }
        const unsigned marker = static_cast<unsigned>(byteAt(at));
        Object object{marker >> 4, marker & countFollows, static_cast<std::size_t>(at) + 1};
        const bool counted = object.type == typeData || object.type == typeAscii ||
                             object.type == typeUtf16 || object.type == typeArray ||
                             object.type == typeSet || object.type == typeDict;
        if (counted && object.count == countFollows) {
            if (!inObjects(object.payload, 1)) {
                return std::nullopt;
            }
            const unsigned countMarker = static_cast<unsigned>(byteAt(object.payload));
            const std::size_t size = std::size_t{1} << (countMarker & countFollows);
            if ((countMarker >> 4) != typeInteger || size > maxIntSize ||
                !inObjects(object.payload + 1, size)) {
                return std::nullopt;
            }
            object.count = number(object.payload + 1, size);
            object.payload += 1 + size;
        }
        return object;
    }

    std::optional<std::string> textRefusal(const Object& object) const {
        const std::uint64_t unit = object.type == typeUtf16 ? 2 : 1;
        if (object.count > tableOffset_ / unit || !inObjects(object.payload, object.count * unit)) {
            return broken();
        }
        const std::string_view text = bytes_.substr(object.payload, object.count * unit);
        if (object.type == typeAscii) {
            const bool ascii = std::all_of(text.begin(), text.end(), [](char c) {
                return static_cast<unsigned char>(c) < firstNonAscii;
            });
            return ascii ? std::nullopt : std::optional(notUtf8());
        }
        // UTF-16: every high surrogate followed by a low one, and no low one alone.
        for (std::size_t i = 0; i < object.count; ++i) {
            const auto unitAt = [&](std::size_t n) {
                return static_cast<std::uint16_t>(number(object.payload + 2 * n, 2));
            };
            const std::uint16_t u = unitAt(i);
            if (u >= lowSurrogateFirst && u < surrogateEnd) {
                return notUtf8();
            }
            if (u >= highSurrogateFirst && u < lowSurrogateFirst) {
                if (i + 1 == object.count || unitAt(i + 1) < lowSurrogateFirst ||
                    unitAt(i + 1) >= surrogateEnd) {
                    return notUtf8();
                }
                ++i;
            }
        }
        return std::nullopt;
    }

    // Depth first from the top object; each object is looked into once and its counts reused
    // wherever it is referred to again.
    std::optional<std::string> walk(std::size_t top) {
        state_.assign(count_, State::unseen);
        nodes_.assign(count_, 0);
        depth_.assign(count_, 0);
        std::vector<Frame> stack;
        if (auto refused = enter(top, stack)) {
            return refused;
        }
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.refCount) {
                const Frame finished = frame;
                stack.pop_back();
                finish(finished.object, finished.nodes, finished.depth, stack);
                if (auto refused = checked(stack)) {
                    return refused;
                }
                continue;
            }
            const std::uint64_t child = number(frame.refs + frame.next * refSize_, refSize_);
            ++frame.next;
            if (child >= count_) {
                return broken();
            }
            const auto index = static_cast<std::size_t>(child);
            if (state_[index] == State::open) {
                return "an object in it contains itself";
            }
            if (state_[index] == State::done) {
                add(frame, nodes_[index], depth_[index]);
                if (auto refused = checked(stack)) {
                    return refused;
                }
                continue;
            }
            if (auto refused = enter(index, stack)) {
                return refused;
            }
        }
        return std::nullopt;
    }

    // Starts on an object: a container is pushed, anything else is finished at once.
    std::optional<std::string> enter(std::size_t index, std::vector<Frame>& stack) {
        const std::optional<Object> object = objectAt(index);
        if (!object) {
            return broken();
        }
        if (object->type == typeAscii || object->type == typeUtf16) {
            if (auto refused = textRefusal(*object)) {
                return refused;
            }
        }
        const bool container =
            object->type == typeArray || object->type == typeSet || object->type == typeDict;
        if (!container) {
            finish(index, 1, 1, stack);
            return checked(stack);
        }
        if (stack.size() >= PlistLimits::maxDepth) {
            return tooDeep();
        }
        const std::uint64_t refs = object->type == typeDict ? 2 * object->count : object->count;
        if (object->count > tableOffset_ || !inObjects(object->payload, refs * refSize_)) {
            return broken();
        }
        state_[index] = State::open;
        stack.push_back(Frame{index, object->payload, refs});
        return std::nullopt;
    }

    void finish(std::size_t index, std::uint64_t nodes, std::size_t depth,
                std::vector<Frame>& stack) {
        state_[index] = State::done;
        nodes_[index] = nodes;
        depth_[index] = depth;
        if (!stack.empty()) {
            add(stack.back(), nodes, depth);
        }
    }

    static void add(Frame& frame, std::uint64_t nodes, std::size_t depth) {
        frame.nodes = std::min<std::uint64_t>(frame.nodes + nodes, PlistLimits::maxNodes + 1);
        frame.depth = std::max(frame.depth, depth + 1);
    }

    // The innermost open container's counts so far hold for everything around it too.
    static std::optional<std::string> checked(const std::vector<Frame>& stack) {
        if (stack.empty()) {
            return std::nullopt;
        }
        const Frame& frame = stack.back();
        if (frame.nodes > PlistLimits::maxNodes) {
            return tooMany();
        }
        if (stack.size() - 1 + frame.depth > PlistLimits::maxDepth) {
            return tooDeep();
        }
        return std::nullopt;
    }

    std::string_view bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::size_t count_ = 0;
    std::vector<State> state_;
    std::vector<std::uint64_t> nodes_;
    std::vector<std::size_t> depth_;
};

// XML has no references, so every value is a tag: counting start tags bounds the nodes, and the
// open elements at any point bound the nesting. Comments, declarations and CDATA hold no tags.
std::optional<std::string> xmlRefusal(std::string_view text) {
    if (!ToolOutput::isUtf8(text)) {
        return notUtf8();
    }
    std::size_t nodes = 0;
    std::size_t depth = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        const std::string_view rest = text.substr(at);
        const auto skipTo = [&](std::string_view end) {
            const std::size_t found = text.find(end, at);
            return found == std::string_view::npos ? text.size() : found;
        };
        if (rest.starts_with("<!--")) {
            at = skipTo("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            at = skipTo("]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            at = skipTo(">");
        } else if (rest.starts_with("</")) {
            depth -= depth > 0 ? 1 : 0;
        } else {
            const std::size_t close = skipTo(">");
            if (++nodes > PlistLimits::maxNodes) {
                return tooMany();
            }
            if (close < text.size() && text[close - 1] != '/' && ++depth > PlistLimits::maxDepth) {
                return tooDeep();
            }
            at = close;
        }
        if (at >= text.size()) {
            break;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> PlistLimits::refusal(std::string_view bytes) {
    if (bytes.starts_with(binaryMagic)) {
        return BinaryPlist(bytes).refusal();
    }
    return xmlRefusal(bytes);
}

}  // namespace velmora
