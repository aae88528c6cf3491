#include "stamping/CardStamping.h"

#include "app/Recorder.h"

void get_card_idm(Recorder& rec) { rec.ui.process_events(); }
