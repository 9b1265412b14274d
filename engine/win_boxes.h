#pragma once
// Every message box of a program goes through one Boxes: in an ordinary run
// it is shown and the person answers; in a run with boxes suppressed it is
// not shown and the answer given for that case stands. Either way the box
// and its answer go into the run's log.
#include <windows.h>

#include <string>

#include "engine/run_log.h"

namespace qv {

class Boxes {
public:
    Boxes(RunLog& log, bool suppressed) : log_(&log), suppressed_(suppressed) {}

    bool Suppressed() const { return suppressed_; }
    RunLog& Log() const { return *log_; }

    // MessageBox(owner, text, caption, style); when boxes are suppressed,
    // `unattended` (IDYES, IDOK...) without showing anything.
    int Show(HWND owner, const std::string& text, const char* caption, UINT style, int unattended) const;

private:
    RunLog* log_;
    bool suppressed_;
};

// The boxes of this run: shown, and logged nowhere, until the program's
// entry sets them up from its command line.
Boxes& RunBoxes();
void SetRunBoxes(const Boxes& boxes);
// Back to shown and logged nowhere (the run's log is going).
void ResetRunBoxes();

// The name of a box's answer, for the log ("Да", "Повтор"...).
const char* AnswerName(int answer);

}  // namespace qv
