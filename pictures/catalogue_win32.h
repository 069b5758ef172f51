// The catalogue scan on the Windows file system, under the wait cursor.
#pragma once
#include <cstdint>

int32_t ScanPictures();
