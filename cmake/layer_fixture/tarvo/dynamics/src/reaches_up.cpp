// A fixture of the layering check: the dynamics may not include the shell.
#include "tarvo/dynamics/force_model.h"
#include "tarvo/shell/run_loop.h"
