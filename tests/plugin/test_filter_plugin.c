/* A filter library for the tests. It reads a text file and gives each line
 * as a chunk; a first line of "password", "badsize", "failing", "endless" or
 * "huge" makes it misbehave in that way. Built without its entry points when
 * QUILOR_TEST_FILTER_BARE is defined, and claiming the next version of the
 * interface when QUILOR_TEST_FILTER_NEXT_VERSION is. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "import/filter_plugin_abi.h"

#ifndef QUILOR_TEST_FILTER_BARE

typedef struct {
  FILE* file;
  char mode[16];
  long calls;
} Document;

#ifdef QUILOR_TEST_FILTER_NEXT_VERSION
int quilor_filter_version(void) { return QUILOR_FILTER_ABI_VERSION + 1; }
#else
int quilor_filter_version(void) { return QUILOR_FILTER_ABI_VERSION; }
#endif

void* quilor_filter_open(const char* path, int* error) {
  FILE* f = fopen(path, "rb");
  if (!f) {
    *error = QUILOR_FILTER_NOT_THIS_FORMAT;
    return NULL;
  }
  Document* d = calloc(1, sizeof *d);
  if (!d) {
    fclose(f);
    *error = QUILOR_FILTER_DAMAGED;
    return NULL;
  }
  d->file = f;
  char first[64] = {0};
  if (fgets(first, sizeof first, f)) {
    first[strcspn(first, "\r\n")] = 0;
    if (!strcmp(first, "password") || !strcmp(first, "badsize") || !strcmp(first, "failing") ||
        !strcmp(first, "endless") || !strcmp(first, "huge"))
      strcpy(d->mode, first);
    else rewind(f);
  }
  if (!strcmp(d->mode, "password")) {
    fclose(f);
    free(d);
    *error = QUILOR_FILTER_PASSWORD;
    return NULL;
  }
  return d;
}

long quilor_filter_next(void* document, char* buffer, unsigned long capacity) {
  Document* d = document;
  ++d->calls;
  if (!strcmp(d->mode, "badsize")) return (long)capacity + 1;
  if (!strcmp(d->mode, "failing")) return d->calls == 1 ? (memcpy(buffer, "kept", 4), 4) : -QUILOR_FILTER_ACCESS;
  if (!strcmp(d->mode, "endless")) return (memcpy(buffer, "word", 4), 4);
  if (!strcmp(d->mode, "huge")) {
    memset(buffer, 'a', capacity);
    return (long)capacity;
  }
  if (!fgets(buffer, (int)(capacity > 4096 ? 4096 : capacity), d->file)) return 0;
  return (long)strlen(buffer);
}

void quilor_filter_close(void* document) {
  Document* d = document;
  fclose(d->file);
  free(d);
}

#else
int quilor_filter_something_else(void) { return 0; }
#endif
