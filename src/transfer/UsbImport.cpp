#include "transfer/UsbImport.h"

#include "app/Recorder.h"

void Get_From_USB(Recorder&) {}
