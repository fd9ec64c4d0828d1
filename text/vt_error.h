#pragma once
// Errors that reach the operator carry the runtime's own text (UTF-8), shown by the general
// error report.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace text {

struct VtError : std::runtime_error {
    explicit VtError(const std::string& text)
        : std::runtime_error(text), text_(std::make_shared<const std::string>(text)) {}
    explicit VtError(const char* text) : VtError(std::string(text)) {}
    // The whole text: what() ends at a NUL, which a text quoting what was typed or read may hold.
    const std::string& text() const noexcept { return *text_; }

private:
    std::shared_ptr<const std::string> text_;  // shared: copying an exception does not throw
};

// The error box appends "." when the text's last byte in code page 932 sorts after '.'.
std::string withFullStop(std::string_view utf8);

}  // namespace text
