// The public interface of picdll.dll, as the saver and picdecode.exe import it.
#pragma once
#include <windows.h>

#ifdef PICDLL_BUILDING
// The module-definition file exports each function once, by name and ordinal.
#define PICDLL_API extern "C"
#else
#define PICDLL_API extern "C" __declspec(dllimport)
#endif

// The value PicDLLInitDLL expects: the interface version its caller was built for.
#define PICDLL_INTERFACE_VERSION 0x00030103

// Called while a file is read; the arguments are the work done and the work in all
// (in the decoder's own units, total 0 when unknown). Return 0 to stop the read.
typedef int(WINAPI* PICDLL_CALLBACK)(int done, int total);

// Returns non-zero when the library supports `version`.
PICDLL_API int WINAPI PicDLLInitDLL(int version);
// Non-zero: show a message box on JPEG errors. The library starts with 0 and never shows
// one on its own, so the setting is accepted and kept, nothing more.
PICDLL_API int WINAPI PicDLLSetJPGErrorMsgBox(int show);
PICDLL_API int WINAPI PicDLLSetCallback(PICDLL_CALLBACK callback);
// Store the upright width and height, read from the headers alone; 0 and 0 when the file
// can't be read. Return non-zero on success.
PICDLL_API int WINAPI PicDLLGetJPGDimensions(const char* path, int* width, int* height);
PICDLL_API int WINAPI PicDLLGetBMPDimensions(const char* path, int* width, int* height);
// Return a movable global memory block of width * height * 3 bytes (RGB, rows packed, top
// row first), or none. PicDLLGetLastError tells a failed read from one stopped by the
// callback (which returns none and is not a failure).
PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromJPG(const char* path, int* width, int* height);
PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromBMP(const char* path, int* width, int* height);
// The same four for a file named by a wide path, which may hold any character. The path
// reaches CreateFileW as it stands: past MAX_PATH it needs the \\?\ (or \\?\UNC\) prefix.
PICDLL_API int WINAPI PicDLLGetJPGDimensionsW(const wchar_t* path, int* width, int* height);
PICDLL_API int WINAPI PicDLLGetBMPDimensionsW(const wchar_t* path, int* width, int* height);
PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromJPGW(const wchar_t* path, int* width, int* height);
PICDLL_API HGLOBAL WINAPI PicDLLReadRGBFromBMPW(const wchar_t* path, int* width, int* height);
// PicDLLReadRGBFromJPGW for a picture to be shown no larger than about minWidth x minHeight
// (upright): decoded straight at 1/2, 1/4 or 1/8 of its size, the smallest of these that is
// still at least that large, or at full size when none is. Stores the decoded width and
// height and the reduction used (1, 2, 4 or 8: the picture is ceil(full width / it) x
// ceil(full height / it)); the same callback, errors and orientation as the full read.
PICDLL_API HGLOBAL WINAPI PicDLLReadScaledRGBFromJPGW(const wchar_t* path, int minWidth, int minHeight,
                                                      int* width, int* height, int* scale);
// Non-zero when the last read failed.
PICDLL_API int WINAPI PicDLLGetLastError(void);
PICDLL_API int WINAPI PicDLLResizeRGB2(const BYTE* source, int width, int height, BYTE* dest,
                                       int newWidth, int newHeight);
// PicDLLResizeRGB2 for a picture read at 1 / `scale` of its size (the reduction
// PicDLLReadScaledRGBFromJPGW stores): the result looks as the full-size picture resized
// would, where resizing the reduced one as it stands would blur it `scale` times as much.
PICDLL_API int WINAPI PicDLLResizeReducedRGB(const BYTE* source, int width, int height, int scale, BYTE* dest,
                                             int newWidth, int newHeight);
PICDLL_API int WINAPI PicDLLQuantizeRGBTo8Bit(const BYTE* rgb, BYTE* dest, int width,
                                              int height, int colours, RGBQUAD* table);
// A device bitmap of the picture, compatible with the screen. `flags` must be 0.
PICDLL_API HBITMAP WINAPI PicDLLRGBToHBITMAP(const BYTE* rgb, int width, int height, int flags);
