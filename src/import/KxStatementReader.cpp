#include "import/KxStatementReader.h"

namespace zobran {

namespace {

// The line from its first character that is not a blank; empty for a line of blanks.
std::string_view withoutLeadingBlanks(std::string_view line)
{
    const auto first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : line.substr(first);
}

} // namespace

void KxStatementReader::reset()
{
    buffer_.clear();
    completed_ = false;
    started_ = false;
    dropped_ = false;
    outside_ = false;
}

std::optional<std::string_view> KxStatementReader::feedLine(std::string_view line)
{
    if (completed_)
        reset();
    dropped_ = false;
    outside_ = false;
    const std::string_view opening = withoutLeadingBlanks(line);
    const bool opens = !opening.empty() && opening.front() == '<';
    const bool closes = !line.empty() && line.back() == '>';

    if (opens) {
        if (started_) { // the open statement never got its ">"
            dropped_ = true;
            droppedText_.swap(buffer_);
        }
        started_ = true;
        if (closes) { // a whole statement ("<>" gives an empty one)
            buffer_.assign(opening.substr(1, opening.size() - 2));
            completed_ = true;
            return std::string_view(buffer_);
        }
        buffer_.assign(opening.substr(1)); // a statement starts
        return std::nullopt;
    }
    if (!started_) {
        outside_ = !opening.empty();
        return std::nullopt;
    }
    if (!closes) {
        buffer_.append(line); // a middle piece, blanks and all
        return std::nullopt;
    }
    buffer_.append(line.substr(0, line.size() - 1)); // a statement ends
    completed_ = true;
    return std::string_view(buffer_);
}

} // namespace zobran
