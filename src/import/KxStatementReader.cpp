#include "import/KxStatementReader.h"

namespace zobran {

void KxStatementReader::reset()
{
    buffer_.clear();
    completed_ = false;
    started_ = false;
}

std::optional<std::string_view> KxStatementReader::feedLine(std::string_view line)
{
    if (completed_)
        reset();
    if (leadingSpaces_ == LeadingSpaces::Strip) {
        const auto firstNonSpace = line.find_first_not_of(' ');
        line.remove_prefix(firstNonSpace == std::string_view::npos ? line.size() : firstNonSpace);
    }

    const bool opens = !line.empty() && line.front() == '<';
    const bool closes = !line.empty() && line.back() == '>';

    if (opens && closes && line.size() >= 2) {
        buffer_.assign(line.substr(1, line.size() - 2));
        completed_ = true;
        return std::string_view(buffer_);
    }
    if (opens) {
        buffer_.assign(line.substr(1)); // a statement starts
        started_ = true;
    }
    if (!opens && !closes)
        buffer_.append(line); // a middle piece
    if (closes) {
        buffer_.append(line.substr(0, line.size() - 1)); // a statement ends
        completed_ = true;
        return std::string_view(buffer_);
    }
    return std::nullopt;
}

} // namespace zobran
