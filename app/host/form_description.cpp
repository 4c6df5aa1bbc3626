#include "app/host/form_description.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace host {
namespace {

constexpr int kMaxNesting = 32;

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Splits off the next word (a run of name characters).
std::string_view TakeWord(std::string_view& s) {
    s = Trim(s);
    size_t n = 0;
    while (n < s.size() && IsNameChar(s[n])) ++n;
    std::string_view word = s.substr(0, n);
    s.remove_prefix(n);
    return word;
}

bool ParseUnsigned(std::string_view s, uint64_t& out) {
    if (s.empty()) return false;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
    return ec == std::errc() && end == s.data() + s.size();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseQuoted(std::string_view s, std::string& out, std::string& error) {
    // s starts and ends with '"'.
    if (s.size() < 2 || s.back() != '"') {
        error = "unterminated text";
        return false;
    }
    s = s.substr(1, s.size() - 2);
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            error = "unescaped quote inside text";
            return false;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == s.size()) {
            error = "text ends in a backslash";
            return false;
        }
        switch (s[i]) {
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                int hi = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
                int lo = i + 2 < s.size() ? HexDigit(s[i + 2]) : -1;
                if (hi < 0 || lo < 0) {
                    error = "bad \\x escape";
                    return false;
                }
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                error = "unknown escape";
                return false;
        }
    }
    return true;
}

bool ParseValue(std::string_view s, std::span<const uint8_t> blobs, PropertyValue& out, std::string& error) {
    s = Trim(s);
    if (s.empty()) {
        error = "missing value";
        return false;
    }
    if (s.front() == '"') {
        std::string text;
        if (!ParseQuoted(s, text, error)) return false;
        out = std::move(text);
        return true;
    }
    if (s == "true" || s == "false") {
        out = (s == "true");
        return true;
    }
    if (s.starts_with("blob ")) {
        std::string_view rest = s.substr(5);
        std::string_view offsetText = TakeWord(rest);
        std::string_view lengthText = TakeWord(rest);
        uint64_t offset = 0, length = 0;
        if (!Trim(rest).empty() || !ParseUnsigned(offsetText, offset) || !ParseUnsigned(lengthText, length)) {
            error = "blob needs an offset and a length";
            return false;
        }
        if (offset > blobs.size() || length > blobs.size() - offset) {
            error = "blob lies outside the side data";
            return false;
        }
        out = Bytes(blobs.begin() + offset, blobs.begin() + offset + length);
        return true;
    }
    bool negative = s.front() == '-';
    std::string_view digits = negative ? s.substr(1) : s;
    uint64_t magnitude = 0;
    if (ParseUnsigned(digits, magnitude)) {
        // Hexadecimal values may use the full unsigned range (colours); decimal
        // ones must fit a signed 64-bit integer.
        bool hex = digits.size() > 2 && (digits[1] == 'x' || digits[1] == 'X');
        uint64_t limit = negative ? uint64_t(1) << 63 : (hex ? ~uint64_t(0) : (uint64_t(1) << 63) - 1);
        if (magnitude > limit) {
            error = "integer out of range";
            return false;
        }
        out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
        return true;
    }
    std::string copy(s);
    char* end = nullptr;
    errno = 0;
    double real = std::strtod(copy.c_str(), &end);
    bool looksReal = copy.find_first_of(".eE") != std::string::npos;
    if (looksReal && end == copy.c_str() + copy.size() && errno == 0 && std::isfinite(real)) {
        out = real;
        return true;
    }
    error = "unrecognised value";
    return false;
}

class Parser {
public:
    Parser(std::string_view text, std::span<const uint8_t> blobs) : text_(text), blobs_(blobs) {}

    ParsedForm Run() {
        ParsedForm result;
        bool haveForm = false;
        std::string_view line;
        while (NextLine(line)) {
            if (haveForm) return Fail(result, "text after the form's End");
            if (!ParseBegin(line, result.form)) return Fail(result, error_);
            if (!ParseBody(result.form, 1)) return Fail(result, error_);
            haveForm = true;
        }
        if (!haveForm) return Fail(result, "no form");
        result.ok = true;
        return result;
    }

private:
    ParsedForm& Fail(ParsedForm& result, const std::string& what) {
        result.ok = false;
        result.form = {};
        result.error = "line " + std::to_string(lineNumber_) + ": " + what;
        return result;
    }

    // Next line that is neither blank nor a comment, trimmed.
    bool NextLine(std::string_view& line) {
        while (position_ < text_.size()) {
            size_t end = text_.find('\n', position_);
            if (end == std::string_view::npos) end = text_.size();
            line = Trim(text_.substr(position_, end - position_));
            position_ = end + 1;
            ++lineNumber_;
            if (!line.empty() && line.front() != '#') return true;
        }
        return false;
    }

    bool ParseBegin(std::string_view line, FormObject& object) {
        if (TakeWord(line) != "Begin") {
            error_ = "expected Begin";
            return false;
        }
        object.kind = std::string(TakeWord(line));
        object.name = std::string(TakeWord(line));
        if (object.kind.empty() || object.name.empty() || !Trim(line).empty()) {
            error_ = "Begin needs a kind and a name";
            return false;
        }
        return true;
    }

    bool ParseBody(FormObject& object, int depth) {
        std::string_view line;
        while (NextLine(line)) {
            if (line == "End") return true;
            if (line.starts_with("Begin ")) {
                if (depth >= kMaxNesting) {
                    error_ = "nested too deeply";
                    return false;
                }
                FormObject child;
                if (!ParseBegin(line, child) || !ParseBody(child, depth + 1)) return false;
                object.children.push_back(std::move(child));
                continue;
            }
            std::string_view rest = line;
            std::string key(TakeWord(rest));
            rest = Trim(rest);
            if (key.empty() || rest.empty() || rest.front() != '=') {
                error_ = "expected Key = value";
                return false;
            }
            if (object.properties.Has(key)) {
                error_ = "property " + key + " given twice";
                return false;
            }
            PropertyValue value;
            if (!ParseValue(rest.substr(1), blobs_, value, error_)) return false;
            object.properties.Set(key, std::move(value));
        }
        error_ = "missing End";
        return false;
    }

    std::string_view text_;
    std::span<const uint8_t> blobs_;
    size_t position_ = 0;
    int lineNumber_ = 0;
    std::string error_;
};

std::string QuoteText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (u < 0x20 || u == 0x7F) {
                    char escape[5];
                    std::snprintf(escape, sizeof escape, "\\x%02X", u);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string FormatReal(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    std::string out = text;
    if (out.find_first_of(".eE") == std::string::npos) out += ".0";
    return out;
}

std::string FormatValue(const PropertyValue& value, Bytes& blobs) {
    struct Visitor {
        Bytes& blobs;
        std::string operator()(int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const { return FormatReal(d); }
        std::string operator()(bool b) const { return b ? "true" : "false"; }
        std::string operator()(const std::string& s) const { return QuoteText(s); }
        std::string operator()(const Bytes& bytes) const {
            std::string reference = "blob " + std::to_string(blobs.size()) + " " + std::to_string(bytes.size());
            blobs.insert(blobs.end(), bytes.begin(), bytes.end());
            return reference;
        }
    };
    return std::visit(Visitor{blobs}, value);
}

void WriteObject(const FormObject& object, int depth, Bytes& blobs, std::string& out) {
    std::string indent(static_cast<size_t>(depth) * 4, ' ');
    out += indent + "Begin " + object.kind + " " + object.name + "\n";
    for (const auto& [key, value] : object.properties.Entries())
        out += indent + "    " + key + " = " + FormatValue(value, blobs) + "\n";
    for (const FormObject& child : object.children) WriteObject(child, depth + 1, blobs, out);
    out += indent + "End\n";
}

}  // namespace

ParsedForm ParseFormDescription(std::string_view text, std::span<const uint8_t> blobs) {
    return Parser(text, blobs).Run();
}

std::string WriteFormDescription(const FormObject& form, Bytes& blobs) {
    std::string out;
    WriteObject(form, 0, blobs, out);
    return out;
}

}  // namespace host
