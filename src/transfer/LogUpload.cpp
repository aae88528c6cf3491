#include "transfer/LogUpload.h"

#include "app/Recorder.h"

void Pre_Tensou_STD(Recorder&) {}
