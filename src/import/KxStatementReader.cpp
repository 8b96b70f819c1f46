#include "import/KxStatementReader.h"

namespace zobran {

namespace {

// The line from its first character that is not a blank; empty for a line of blanks.
QStringView withoutLeadingBlanks(QStringView line)
{
    qsizetype first = 0;
    while (first < line.size() && line[first] == u' ')
        ++first;
    return line.sliced(first);
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

const QString* KxStatementReader::feedLine(QStringView line)
{
    if (completed_)
        reset();
    dropped_ = false;
    outside_ = false;
    const QStringView opening = withoutLeadingBlanks(line);
    const bool opens = !opening.isEmpty() && opening.front() == u'<';
    const bool closes = !line.isEmpty() && line.back() == u'>';

    if (opens) {
        if (started_) { // the open statement never got its ">"
            dropped_ = true;
            droppedText_.swap(buffer_);
        }
        started_ = true;
        if (closes) { // a whole statement ("<>" gives an empty one)
            buffer_ = opening.sliced(1, opening.size() - 2).toString();
            completed_ = true;
            return &buffer_;
        }
        buffer_ = opening.sliced(1).toString(); // a statement starts
        return nullptr;
    }
    if (!started_) {
        outside_ = !opening.isEmpty();
        return nullptr;
    }
    if (!closes) {
        buffer_.append(line); // a middle piece, blanks and all
        return nullptr;
    }
    buffer_.append(line.chopped(1)); // a statement ends
    completed_ = true;
    return &buffer_;
}

} // namespace zobran
