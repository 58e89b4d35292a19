// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigFormat.h"

#include "ConfigError.h"
#include "NumericText.h"

#include <algorithm>
#include <optional>
#include <string>

namespace bh {
namespace {

struct Field {
    std::string_view text;
    int line = 0;
};

bool endsField(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

// How much of the file was read, as the error message says it.
std::string amountText(std::size_t bytes)
{
    constexpr std::size_t kMiB = std::size_t{1024} * 1024;
    return bytes > 0 && bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                                          : std::to_string(bytes) + " bytes";
}

// How the text of the file is stored: a byte a character, or UTF-16 or UTF-32 in either order.
struct Encoding {
    std::size_t width = 1; // bytes a character
    bool bigEndian = false;
    std::size_t mark = 0; // bytes of byte-order mark at the start
};

// Windows Notepad's "Unicode" starts with a byte-order mark, and a file without one still shows
// itself by the zero bytes beside every character of its digits. Read byte by byte, those zeros
// would end every number and turn every setting off.
Encoding encodingOf(std::string_view bytes)
{
    using namespace std::string_view_literals;
    // UTF-32's little-endian mark begins with UTF-16's, so it is looked for first.
    if (bytes.starts_with("\xFF\xFE\0\0"sv)) {
        return {4, false, 4};
    }
    if (bytes.starts_with("\0\0\xFE\xFF"sv)) {
        return {4, true, 4};
    }
    if (bytes.starts_with("\xFF\xFE"sv)) {
        return {2, false, 2};
    }
    if (bytes.starts_with("\xFE\xFF"sv)) {
        return {2, true, 2};
    }
    // A settings file of text never holds a zero byte: one non-zero byte at the same end of
    // every unit of the first characters, and zeros in the rest of each, are wide text and not
    // damage.
    constexpr std::size_t kLooked = 64;
    for (const std::size_t width : {std::size_t{4}, std::size_t{2}}) {
        const std::size_t looked = std::min(bytes.size(), kLooked) / width * width;
        if (looked < 2 * width) {
            continue;
        }
        bool little = true;
        bool big = true;
        for (std::size_t i = 0; i < looked; ++i) {
            const std::size_t place = i % width;
            const bool zero = bytes[i] == '\0';
            little = little && zero == (place != 0);
            big = big && zero == (place != width - 1);
        }
        if (little || big) {
            return {width, big, 0};
        }
    }
    return {};
}

// Wide text as one byte per character: the settings are digits and punctuation; anything else
// can only end up in a message, as '?'.
std::string narrowed(std::string_view bytes, const Encoding& encoding)
{
    std::string text;
    text.reserve(bytes.size() / encoding.width);
    for (std::size_t i = encoding.mark; i + encoding.width <= bytes.size(); i += encoding.width) {
        std::uint32_t unit = 0;
        for (std::size_t k = 0; k < encoding.width; ++k) {
            const std::size_t at = encoding.bigEndian ? k : encoding.width - 1 - k;
            unit = (unit << 8U) | static_cast<unsigned char>(bytes[i + at]);
        }
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

// Hands out the fields of bh.cfg one by one, keeping count of lines for error messages.
class FieldReader {
public:
    // fileSize: how many bytes of the file bytes stand for, for the message when they end early.
    FieldReader(std::string_view bytes, bool complete, std::size_t fileSize)
        : bytes_(bytes), complete_(complete), fileSize_(fileSize)
    {
        // Several Windows editors start a UTF-8 file with a byte-order mark. Read as text it would
        // turn a first line "1" into something else and switch Full Screen off without a word.
        // Only the very start of the file is a mark; these bytes anywhere else are text.
        if (bytes_.starts_with(kByteOrderMark)) {
            pos_ = kByteOrderMark.size();
        }
    }

    int line() const { return line_; }

    // The next field, or nullopt at the end of the bytes.
    std::optional<Field> next()
    {
        while (pos_ < bytes_.size() && isBlank(bytes_[pos_])) {
            ++pos_;
        }
        if (pos_ >= bytes_.size()) {
            checkComplete();
            return std::nullopt; // trailing blanks are no field of their own
        }

        Field field{{}, line_};
        if (bytes_[pos_] == '"') {
            // A quote never spans lines, so one stray quote cannot swallow the rest of the file.
            const std::size_t start = ++pos_;
            while (pos_ < bytes_.size() && bytes_[pos_] != '"' && bytes_[pos_] != '\r' &&
                   bytes_[pos_] != '\n') {
                ++pos_;
            }
            field.text = bytes_.substr(start, pos_ - start);
            while (pos_ < bytes_.size() && !endsField(bytes_[pos_])) {
                ++pos_; // anything after the closing quote up to the field's end is ignored
            }
        } else {
            const std::size_t start = pos_;
            while (pos_ < bytes_.size() && !endsField(bytes_[pos_])) {
                ++pos_;
            }
            std::size_t end = pos_;
            while (end > start && isBlank(bytes_[end - 1])) {
                --end;
            }
            field.text = bytes_.substr(start, end - start);
        }

        if (pos_ >= bytes_.size()) {
            checkComplete(); // a field cut off by the read limit has not really ended
        } else if (bytes_[pos_] == ',') {
            ++pos_;
        } else {
            // CR LF once more converted to CR LF gives CR CR LF: still one line end, or every
            // later field would move down by one.
            std::size_t end = pos_;
            while (end < bytes_.size() && bytes_[end] == '\r') {
                ++end;
            }
            pos_ = end > pos_ && end < bytes_.size() && bytes_[end] == '\n' ? end + 1 : pos_ + 1;
            ++line_;
        }
        return field;
    }

private:
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

    void checkComplete() const
    {
        if (!complete_) {
            throw ConfigError(ConfigError::Kind::TooLarge, {}, 0, amountText(fileSize_));
        }
    }

    std::string_view bytes_;
    bool complete_;
    std::size_t fileSize_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

bool readOnOff(const Field& field)
{
    return field.text == "1";
}

ColourDepth readDepth(const Field& field)
{
    if (field.text == "16") {
        return ColourDepth::Bits16;
    }
    if (field.text == "24") {
        return ColourDepth::Bits24;
    }
    return ColourDepth::Bits32;
}

// The offending text as it can be shown in a message box: short, and printable.
std::string quoteForMessage(std::string_view text)
{
    constexpr std::size_t kShown = 32;
    std::string shown;
    for (const char c : text.substr(0, kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += (byte >= 0x20 && byte < 0x7f) ? c : '?';
    }
    if (text.size() > kShown) {
        shown += "...";
    }
    return shown;
}

std::uint8_t readComponent(const Field& field)
{
    const auto component = toComponent(leadingNumber(field.text));
    if (!component) {
        throw ConfigError(ConfigError::Kind::OutOfRange, {}, field.line,
                          quoteForMessage(field.text));
    }
    return *component;
}

const char* onOff(bool on)
{
    return on ? "1\r\n" : "0\r\n";
}

} // namespace

ConfigRecord parseConfig(std::string_view bytes, bool complete)
{
    const Encoding encoding = encodingOf(bytes);
    const std::string text = encoding.width == 1 ? std::string() : narrowed(bytes, encoding);
    FieldReader reader(encoding.width == 1 ? bytes : std::string_view(text), complete,
                       bytes.size());
    int fieldsRead = 0;
    auto next = [&]() -> Field {
        auto field = reader.next();
        if (!field) {
            throw ConfigError(ConfigError::Kind::TooShort, {}, reader.line(),
                              std::to_string(fieldsRead));
        }
        // No setting the player wrote holds a zero byte: read on, it would show as an option
        // off or a colour component 0 that the file does not hold.
        if (field->text.find('\0') != std::string_view::npos) {
            throw ConfigError(ConfigError::Kind::ZeroByte, {}, field->line, {});
        }
        ++fieldsRead;
        return *field;
    };

    ConfigRecord record;
    record.fullScreen = readOnOff(next());
    record.debugInfo = readOnOff(next());
    record.antialiasing = readOnOff(next());
    record.dithering = readOnOff(next());
    record.wBuffering = readOnOff(next());
    record.depth = readDepth(next());
    record.keepBodies = readOnOff(next());
    for (Colour& colour : record.colours) {
        for (std::uint8_t& component : colour) {
            component = readComponent(next());
        }
    }
    return record;
}

std::string formatConfig(const ConfigRecord& record)
{
    std::string text;
    text.reserve(std::size_t{kFieldCount} * 5);
    text += onOff(record.fullScreen);
    text += onOff(record.debugInfo);
    text += onOff(record.antialiasing);
    text += onOff(record.dithering);
    text += onOff(record.wBuffering);
    text += std::to_string(static_cast<int>(record.depth)) + "\r\n";
    text += onOff(record.keepBodies);
    for (const Colour& colour : record.colours) {
        for (const std::uint8_t component : colour) {
            text += std::to_string(component) + "\r\n";
        }
    }
    return text;
}

} // namespace bh
