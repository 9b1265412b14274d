#pragma once
// Program-wide message texts and the boxes that show them.
#include <windows.h>

#include "engine/win_boxes.h"

namespace qv {

inline constexpr const char* kRightsErrorCaption = "Установка Кворвель";
inline constexpr const char* kRightsErrorText =
    "Программа \"Кворвель\" не может быть установлена, т.к. у Вас недостаточно прав для установки "
    "программного обеспечения.\n\n"
    "Для получения более детальной информации обратитесь к администратору компьютера.";

inline constexpr const char* kExitCaption = "Выход из программы установки";
inline constexpr const char* kExitText =
    "Процесс установки не завершен. Если Вы прервете процесс установки, программа не будет установлена."
    "\n\n"
    "Для завершения процесса установки, запустите программу установки еще раз."
    "\n\n"
    "Выйти из программы установки?";

// The exit confirmation, owned by the page; true when the user answers Yes
// (as an unattended run does: its Cancel was pressed on purpose).
inline bool ConfirmExit(HWND owner) {
    return RunBoxes().Show(owner, kExitText, kExitCaption, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1, IDYES) ==
           IDYES;
}

}  // namespace qv
