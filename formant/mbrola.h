// The synthesizer library's C interface: .pho lines in, 16-bit samples out.
#pragma once

#if defined(_WIN32)
// Exported under their plain names by mbrola.def.
#define MBROLA_API __stdcall
#else
#define MBROLA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// A caller's own phone source, replacing the .pho reader (setParser_MBR). nextPhone stores a
// phone made by init_Phone in *phone and returns kParserPhone, or returns kParserWait when it
// needs more input, kParserFlush at the end of an utterance, or a negative error code. The
// library copies the phone; the parser keeps it.
enum { kParserPhone = 0, kParserWait = 1, kParserFlush = 2 };
typedef struct PhoneParser {
  void* self;
  void (*reset)(void* self);
  void (*close)(void* self);
  int (*nextPhone)(void* self, void** phone);
} PhoneParser;

MBROLA_API int init_MBR(char* voicePath);
MBROLA_API int init_rename_MBR(char* voicePath, char* rename, char* clone);
MBROLA_API int write_MBR(char* text);
MBROLA_API int flush_MBR(void);
MBROLA_API int read_MBR(void* buffer, int wanted);
MBROLA_API int readtype_MBR(void* buffer, int wanted, int type);
MBROLA_API void close_MBR(void);
MBROLA_API int reset_MBR(void);
MBROLA_API int lastError_MBR(void);
MBROLA_API int lastErrorStr_MBR(char* buffer, int size);
MBROLA_API void resetError_MBR(void);
MBROLA_API void setNoError_MBR(int on);
MBROLA_API int getNoError_MBR(void);
MBROLA_API void setFreq_MBR(int hz);
MBROLA_API int getFreq_MBR(void);
MBROLA_API void setVolumeRatio_MBR(float ratio);
MBROLA_API float getVolumeRatio_MBR(void);
MBROLA_API int getVersion_MBR(char* buffer, int size);
MBROLA_API int getDatabaseInfo_MBR(char* buffer, int size, int index);
MBROLA_API void setParser_MBR(void* parser);
MBROLA_API void* init_Phone(char* name, float lengthMs);
MBROLA_API void reset_Phone(void* phone);
MBROLA_API void close_Phone(void* phone);
MBROLA_API void appendf0_Phone(void* phone, float posPercent, float hz);

#ifdef __cplusplus
}
#endif
