/*
 * The contract between Vistrel and its listing-site plug-ins.
 *
 * A plug-in is a shared library in the program's Plugin folder that exports some of the
 * functions below as plain C symbols. The program looks every function up by name each time
 * it calls it. Calls never overlap: the program makes one at a time. PIN_MergeDownloadFiles
 * and PIN_GetListingCounts may be called from a thread of the program's own while the
 * program's window keeps running; every other function is called from the program's main
 * thread.
 *
 * Text: every text is a zero-terminated byte string in code page 932 (Shift_JIS); sizes count
 * bytes. Text-returning functions get a caller-owned buffer of size + 1 bytes, zero-filled by
 * the caller. The plug-in writes at most size bytes and may fill all of them without a
 * terminator (the last byte is already zero); it never splits a double-byte character.
 * A failing plug-in writes nothing, so the caller reads an empty text.
 *
 * Paths (the merge's output path and page files) are the platform's native bytes.
 *
 * There is no version number, registration or shutdown call: a plug-in initialises itself
 * when it is loaded.
 */
#ifndef VISTREL_PLUGIN_H
#define VISTREL_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
#define VISTREL_PLUGIN_EXTERN_C extern "C"
#else
#define VISTREL_PLUGIN_EXTERN_C
#endif

/* Marks a definition of one of the functions as an export of the plug-in library. */
#define VISTREL_PLUGIN_EXPORT VISTREL_PLUGIN_EXTERN_C __attribute__((visibility("default")))

/* Buffer sizes the program passes (the buffers hold size + 1 bytes). */
#define VISTREL_PLUGIN_NAME_SIZE 255
#define VISTREL_PLUGIN_URL_SIZE 511

/*
 * Required: stores the display name shown in the query bar's plug-in list. A library without
 * this export, or whose name comes back empty, is unloaded and not offered.
 */
typedef void (*PFN_PIN_GetPluginName)(char* buffer, int32_t size);

/*
 * Needed for searching: stores the host name (optionally "host:port") of the listing site's
 * web server. Asked once at the start of each search run.
 */
typedef void (*PFN_PIN_GetServerName)(char* buffer, int32_t size);

/*
 * Optional: stores the referrer sent with every request of a run; empty or missing means no
 * referrer. Asked once at the start of each search run, after the server name.
 */
typedef void (*PFN_PIN_GetReferer)(char* buffer, int32_t size);

/*
 * Needed for searching: stores the request target (absolute path and query, escaped by the
 * plug-in) for one keyword. region is 1..47 for the prefectures in the query bar's order; any
 * other value must map to the plug-in's default region. A null buffer is a request to do
 * nothing; a null keyword counts as empty.
 */
typedef void (*PFN_PIN_GetSearchUrl)(char* buffer, int32_t size, const char* keyword,
                                     int32_t region);

/*
 * Needed to finish a run: writes the merged result page to outputPath (created or replaced)
 * from the downloaded pages in pageFiles, a null-terminated array in keyword order that may be
 * empty. The caller owns the array and its strings; the files are deleted after the call.
 * Returns 0 when the page was written, any other value on failure (also for a null path).
 * May be called on a thread other than the main thread (see above): it must not use the program's
 * windows or toolkit.
 */
typedef int32_t (*PFN_PIN_MergeDownloadFiles)(const char* outputPath, const char* const* pageFiles);

/*
 * Optional: shows the plug-in's settings as a modal dialog owned by the main window, whose
 * native window id is passed as ownerWindow, and returns when it closes; 0 = done.
 */
typedef int32_t (*PFN_PIN_SetupOption)(uintptr_t ownerWindow);

/*
 * Optional: reports how many listings the result page written by the last successful
 * PIN_MergeDownloadFiles call for outputPath (the same bytes) holds from each of that call's
 * page files, and how many of them are new: absent from the plug-in's earlier result page of
 * the same search. counts is a caller-owned array of size elements; for pageFiles[i] of that
 * call the plug-in stores the number of listings in counts[2 * i] and the number of new ones
 * in counts[2 * i + 1], or -1 there when the page was not compared with an earlier one (there
 * was none, or the user turned comparing off). It writes whole pairs only, at most size / 2 of
 * them, and nothing else. Returns the number of page files of that call (which may exceed the
 * pairs written), or -1 when it has no counts for outputPath: no merge for it succeeded since
 * the library was loaded, the path is null, or counts is null while size > 0. The program
 * calls it right after such a merge; without this export it shows no counts.
 */
typedef int32_t (*PFN_PIN_GetListingCounts)(const char* outputPath, int32_t* counts, int32_t size);

/* The exported names, for dlsym. */
#define VISTREL_PIN_GETPLUGINNAME "PIN_GetPluginName"
#define VISTREL_PIN_GETSERVERNAME "PIN_GetServerName"
#define VISTREL_PIN_GETREFERER "PIN_GetReferer"
#define VISTREL_PIN_GETSEARCHURL "PIN_GetSearchUrl"
#define VISTREL_PIN_MERGEDOWNLOADFILES "PIN_MergeDownloadFiles"
#define VISTREL_PIN_SETUPOPTION "PIN_SetupOption"
#define VISTREL_PIN_GETLISTINGCOUNTS "PIN_GetListingCounts"

/* Declarations a plug-in's definitions are checked against. */
VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size);
VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size);
VISTREL_PLUGIN_EXPORT void PIN_GetReferer(char* buffer, int32_t size);
VISTREL_PLUGIN_EXPORT void PIN_GetSearchUrl(char* buffer, int32_t size, const char* keyword,
                                            int32_t region);
VISTREL_PLUGIN_EXPORT int32_t PIN_MergeDownloadFiles(const char* outputPath,
                                                     const char* const* pageFiles);
VISTREL_PLUGIN_EXPORT int32_t PIN_SetupOption(uintptr_t ownerWindow);
VISTREL_PLUGIN_EXPORT int32_t PIN_GetListingCounts(const char* outputPath, int32_t* counts,
                                                   int32_t size);

#endif /* VISTREL_PLUGIN_H */
