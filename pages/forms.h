#pragma once
// The program-wide references to the eight windows, valid for the whole run.
// The background window's class is the wizard's own (wizard/Formmain.h).
#include "engine/Formstep6.h"
#include "pages/Formstep1.h"
#include "pages/Formstep2.h"
#include "pages/Formstep3.h"
#include "pages/Formstep4.h"
#include "pages/Formstep5.h"
#include "pages/Formstep7.h"

class TForm1;

extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TForm6* Form6;
extern TForm7* Form7;
extern TForm8* Form8;
