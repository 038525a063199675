#include "framework/PaintDevice.h"

namespace {
IMPaintDevice* currentDevice = nullptr;
}

IMPaintDevice* GetPaintDevice() { return currentDevice; }
void SetPaintDevice(IMPaintDevice* device) { currentDevice = device; }
