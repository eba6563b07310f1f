#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

class QIODevice;

// The program log and the station logs are written by other back-office programs. Each line
// starts with a four-character tag that places it in a tree of at most three levels:
//   "#1  " a new top-level node, which becomes the current one;
//   "#12 " a child of the current top-level node;
//   "#2  " a child of the current top-level node, which becomes the current second-level node;
//   "#23 " a child of the current second-level node.
// Any other line is ignored. The node text is the line without its tag.
enum class LogTag { None, Top, TopChild, Second, SecondChild };

LogTag LogLineTag(QByteArrayView line);

// One node of a log tree, in file order. `parent` is the index of the parent node, or -1 for a
// top-level node; a parent always comes before its children.
struct LogNode {
    QString text;
    int parent = -1;
};

// Builds a log tree line by line, so that a file that fails half-way keeps what was read.
// A child line whose parent is not there (a "#12 " or "#2  " before any "#1  ", a "#23 " with no
// "#2  " under the current top-level node) becomes a top-level node.
class LogTree {
public:
    // One line without its line break; a trailing carriage return is dropped. The text is read as
    // UTF-8 when it is valid UTF-8 and as Latin-1 (the writers' ANSI text) otherwise, so no byte
    // sequence is refused.
    void addLine(QByteArrayView line);
    void clear();
    const QList<LogNode>& nodes() const { return nodes_; }

private:
    QList<LogNode> nodes_;
    int currentTop_ = -1;
    int currentSecond_ = -1;
};

// <programFolder>/Log/Ledvora/Ledvora.Log and <programFolder>/Log/Ledvora/Ledvora-<S>.Log.
QString ProgramLogPath(const QString& programFolder);
QString StationLogPath(const QString& programFolder, const QString& station);

// Adds every line of `device` (open for reading) to `tree`. Lines may be of any length. Raises
// AppError with the system's text, naming `shownPath`, when reading fails; the lines read before
// stay in the tree.
void ReadLogLines(QIODevice& device, const QString& shownPath, LogTree& tree);

// Reads the log file at `path` into `tree`. Returns false, reading nothing, when the file does
// not exist. Raises AppError with the system's text when it exists but cannot be opened or read.
bool ReadLogFile(const QString& path, LogTree& tree);
