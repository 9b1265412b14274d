#pragma once
// Reading "UnInstall.dat", the installer's log of what it wrote and made,
// and checking each of its lines.
//
// Paths in the log are full paths (engine/paths.h). The installer doubles
// the backslash after a destination that ends with one, and a folder line
// may end with a separator (a program group with an empty name). "." and
// ".." are resolved: a group named ".." logs "<Programs>\..", which is the
// folder holding Programs.
//
// The log is read line by line. A line is used when it names a full path; a
// line whose path holds a name nothing on disk can have (a character no
// file name may hold: < > : " | ? * or a control character; a device name
// such as CON or NUL) names nothing that exists and is done without
// touching the disk; any other line (no kind, a relative path, a name of
// dots and spaces, a line cut short) is set aside and reported.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class LogKind { File, Folder };

struct LogLine {
    std::string path;  // "." and ".." resolved, separators made single backslashes
    LogKind kind;
};

enum class LogFault {
    None,
    // The whole file: nothing is removed.
    Empty,          // no byte at all
    TooLarge,       // more than kMaxLogBytes
    NotText,        // not text in its encoding (see ReadUninstallLog)
    NothingUsable,  // lines, but not one of them usable
    // One line: it is set aside and reported, the others are used.
    Unterminated,   // no line end: the file was cut short here
    StrayBreak,     // a CR that does not end the line
    BadCharacter,   // a NUL byte
    NoKind,         // the line does not end in "=F" or "=D"
    BadPath,        // the path is not a full path to a file or folder
    NoSuchName,     // a name nothing on disk can have: done, not reported
};

// A line that was not used, with its number (1-based) and its text as
// written (control characters shown as '?').
struct SetAsideLine {
    size_t number = 0;
    std::string text;
    LogFault fault = LogFault::None;
    // A path with a character no Windows name may hold (":" and the like),
    // as the line gives it: some file systems take such a name all the same.
    std::optional<LogLine> oddName;
};

struct LogReading {
    std::vector<LogLine> lines;             // the usable lines, in order
    std::vector<SetAsideLine> rejected;     // unusable: reported by name
    std::vector<SetAsideLine> namingNothing;  // naming nothing that can exist: done
    LogFault fault = LogFault::None;        // Empty, TooLarge or NothingUsable
    bool ok() const { return fault == LogFault::None; }
};

// A log larger than this cannot have come from the installer.
constexpr size_t kMaxLogBytes = 4u << 20;

// Reads the log: lines "path=kind", each ended by CR LF (an LF alone ends a
// line too). The kind is what follows the last "=", so a path may itself
// hold "=". A log that begins with the UTF-16LE byte-order mark is UTF-16
// and read as UTF-8; any other is 8-bit, converted by `fromAnsi` (none: the
// bytes are the program's text as they are). The log is refused whole
// (`fault`, no lines) only when it is empty, too large, not text in its
// encoding, or has no usable line.
// The program's text of an 8-bit log, from the system's ANSI code page, in
// which the installer writes it; nothing when the bytes are not text there.
using AnsiLogText = std::optional<std::string> (*)(std::string_view bytes);

LogReading ReadUninstallLog(std::string_view bytes, AnsiLogText fromAnsi = nullptr);

// What a path of the log stands for once "." and ".." are resolved.
enum class LineVerdict { Usable, Bad, OddName, NoSuchName };

// Judges the path of a line of this kind; when it is Usable or OddName,
// `resolved` is the path with "." and ".." resolved and single backslashes.
LineVerdict ResolveLogPath(std::string_view path, LogKind kind, std::string* resolved);

// True when `path` is a full path in plain form: no "." or ".." part and
// every name one a file may have; a file must also name something below
// its root and not end with a separator.
bool IsInstallerPath(std::string_view path, LogKind kind);

}  // namespace qv
