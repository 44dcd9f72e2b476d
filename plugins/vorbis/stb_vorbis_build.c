/* The Vorbis decoder itself, compiled from the system's single-file library. The plug-in reads
   whole files into memory, so neither stdio nor the push-data interface is needed. */
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>
