/* The interface of a filter library: a shared object that turns documents of
 * one format into text for Quilor. It is plain C so that a library can be
 * written in any language and built with any compiler.
 *
 * The library exports four functions:
 *
 *   int quilor_filter_version(void);
 *       QUILOR_FILTER_ABI_VERSION, the version of this interface it was
 *       built for (a library of another version is not used).
 *
 *   void* quilor_filter_open(const char* path, int* error);
 *       Opens the document (path in UTF-8). Returns a handle, or NULL with
 *       *error set to one of the QUILOR_FILTER_* error codes.
 *
 *   long quilor_filter_next(void* document, char* buffer, unsigned long capacity);
 *       Writes the next chunk of the document's text (a paragraph, a page,
 *       a cell...) as UTF-8 into buffer, at most capacity bytes, and
 *       returns the number of bytes written; 0 when the text has ended;
 *       minus an error code on failure. Chunks are read as separate pieces
 *       of text (a space is put between them).
 *
 *   void quilor_filter_close(void* document);
 *       Releases the document.
 *
 * Quilor bounds what it takes: a chunk size above the capacity is a
 * failure, and the text of one document stops at 32 MB or 500,000 chunks.
 */
#ifndef QUILOR_FILTER_PLUGIN_ABI_H
#define QUILOR_FILTER_PLUGIN_ABI_H

#define QUILOR_FILTER_ABI_VERSION 1

#define QUILOR_FILTER_OK 0
#define QUILOR_FILTER_NOT_THIS_FORMAT 1 /* or the document cannot be opened */
#define QUILOR_FILTER_PASSWORD 2        /* the document is encrypted */
#define QUILOR_FILTER_ACCESS 3          /* a part of it cannot be read */
#define QUILOR_FILTER_DAMAGED 4         /* the document is damaged inside */

#define QUILOR_FILTER_VERSION_SYMBOL "quilor_filter_version"
#define QUILOR_FILTER_OPEN_SYMBOL "quilor_filter_open"
#define QUILOR_FILTER_NEXT_SYMBOL "quilor_filter_next"
#define QUILOR_FILTER_CLOSE_SYMBOL "quilor_filter_close"

#ifdef __cplusplus
extern "C" {
#endif
typedef int (*QuilorFilterVersionFunction)(void);
typedef void* (*QuilorFilterOpenFunction)(const char* path, int* error);
typedef long (*QuilorFilterNextFunction)(void* document, char* buffer, unsigned long capacity);
typedef void (*QuilorFilterCloseFunction)(void* document);
#ifdef __cplusplus
}
#endif

#endif
