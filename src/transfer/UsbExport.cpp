#include "transfer/UsbExport.h"

#include "app/Recorder.h"

void Search_OutUSB_Drive(Recorder&) {}
