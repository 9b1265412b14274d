#pragma once
// Welcome page.
#include "pages/wizard_page.h"

class TForm2 : public qv::WizardPage {
public:
    TForm2();
};
