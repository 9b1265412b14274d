#pragma once
// The program-wide references to the seven pages, valid for the whole run.
// The background window is the wizard's own (wizard/main.cpp).
#include "engine/Formstep6.h"
#include "pages/Formstep1.h"
#include "pages/Formstep2.h"
#include "pages/Formstep3.h"
#include "pages/Formstep4.h"
#include "pages/Formstep5.h"
#include "pages/Formstep7.h"

extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TForm6* Form6;
extern TForm7* Form7;
extern TForm8* Form8;
