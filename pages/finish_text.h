#pragma once
// What the finish page says after an installation: today's words after a
// complete one; after one with errors, that it ended with errors and what
// is missing, and the application is offered only when it is there; after
// Abort, that it was stopped and what it wrote is gone again.
#include <string>

#include "engine/install_report.h"

namespace qv {

struct FinishText {
    std::string title;
    std::string body;
    bool canStartApplication = true;
};

FinishText FinishTextFor(const InstallReport& report);

// "1 файл", "3 файла", "5 файлов", "21 файл"...
std::string FileCount(int count);

}  // namespace qv
