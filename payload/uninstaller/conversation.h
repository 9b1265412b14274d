#pragma once
// Everything the uninstaller asks or tells, in one place for both modes: an
// interactive run shows a message box with the caption "Удаление Кворвель";
// a silent run shows nothing and answers by rule (remove: yes; the user's
// data: no; files in use: cancel). Either way each box goes to the run log
// with its answer: every box goes through the run's Boxes, as the
// installer's do.
#include <string>
#include <vector>

#include "engine/removal.h"
#include "engine/win_boxes.h"

namespace qv {

class Conversation : public RemovalQuestions {
public:
    explicit Conversation(const Boxes& boxes) : boxes_(boxes) {}

    // The question before anything is done.
    bool ConfirmRemoval();
    bool RemoveUserData(const std::vector<std::string>& files) override;
    bool RetryInUse(const std::vector<std::string>& files) override;
    // An error or the closing report; `icon` is one of the MB_ICON* styles.
    void Tell(const std::string& text, unsigned icon);

private:
    // The box's answer (IDYES, IDOK...), or `silentAnswer` without a box.
    int Ask(const std::string& text, unsigned style, int silentAnswer);

    const Boxes& boxes_;
};

}  // namespace qv
