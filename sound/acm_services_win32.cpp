#include "sound/acm_services_win32.h"

#include <windows.h>

#include <mmreg.h>
#include <msacm.h>

namespace {

LPWAVEFORMATEX waveFormat(const void* format) {
    return reinterpret_cast<LPWAVEFORMATEX>(const_cast<void*>(format));
}

void* openStream(const void* source, const void* destination) {
    HACMSTREAM stream = nullptr;
    MMRESULT result = acmStreamOpen(&stream, nullptr, waveFormat(source), waveFormat(destination),
                                    nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    return result == MMSYSERR_NOERROR ? stream : nullptr;
}

void closeStream(void* stream) {
    acmStreamClose(static_cast<HACMSTREAM>(stream), 0);
}

bool sourceSize(void* stream, uint32_t destinationBytes, uint32_t* sourceBytes) {
    DWORD bytes = 0;
    if (acmStreamSize(static_cast<HACMSTREAM>(stream), destinationBytes, &bytes,
                      ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR)
        return false;
    *sourceBytes = bytes;
    return true;
}

bool convert(void* stream, const uint8_t* source, uint32_t sourceBytes, uint8_t* destination,
             uint32_t destinationBytes, uint32_t* sourceUsed, uint32_t* destinationUsed) {
    HACMSTREAM acm = static_cast<HACMSTREAM>(stream);
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof header;
    header.pbSrc = const_cast<LPBYTE>(source);
    header.cbSrcLength = sourceBytes;
    header.pbDst = destination;
    header.cbDstLength = destinationBytes;
    if (acmStreamPrepareHeader(acm, &header, 0) != MMSYSERR_NOERROR) return false;
    MMRESULT result = acmStreamConvert(acm, &header, ACM_STREAMCONVERTF_BLOCKALIGN);
    *sourceUsed = header.cbSrcLengthUsed;
    *destinationUsed = header.cbDstLengthUsed;
    acmStreamUnprepareHeader(acm, &header, 0);
    return result == MMSYSERR_NOERROR;
}

int32_t suggest(const void* source, void* destination, uint32_t destinationSize) {
    return acmFormatSuggest(nullptr, waveFormat(source), waveFormat(destination), destinationSize,
                            ACM_FORMATSUGGESTF_WFORMATTAG) == MMSYSERR_NOERROR
               ? 1
               : 0;
}

const AcmServices g_services = {openStream, closeStream, sourceSize, convert, suggest};

} // namespace

const AcmServices* acmServices() {
    return &g_services;
}
