#pragma once

class Recorder;

// "USBから": looks for member lists on every removable drive, asks per file, copies the first confirmed
// one over the member list and reloads it.
void Get_From_USB(Recorder& rec);
