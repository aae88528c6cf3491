#include "lists/MemberList.h"

#include "app/Recorder.h"

void get_member_list(Recorder&) {}
