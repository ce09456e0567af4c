#include "PROGINC/text/cstringf.h"

#include <cstring>

namespace {

// True when str holds at least pos characters before its terminator; looks
// at no character past the terminator.
bool HasIndex(const char* str, int pos) {
  if (pos < 0) return false;
  for (int k = 0; k < pos; ++k)
    if (str[k] == '\0') return false;
  return true;
}

}  // namespace

void substr(const char* str1, int pos, int len, char* str2) {
  int n = 0;
  if (len > 0 && HasIndex(str1, pos)) {
    const char* src = str1 + pos;
    while (n < len && src[n] != '\0') {
      str2[n] = src[n];
      ++n;
    }
  }
  str2[n] = '\0';
}

void substr(const char* str1, int pos, char* str2) {
  if (!HasIndex(str1, pos)) {
    str2[0] = '\0';
    return;
  }
  // Forward copy, so that moving a text to the front of its own buffer works.
  const char* src = str1 + pos;
  int n = 0;
  do {
    str2[n] = src[n];
  } while (src[n++] != '\0');
}

void trimr(char* text) {
  int n = static_cast<int>(std::strlen(text));
  while (n > 0 && text[n - 1] == ' ') --n;
  text[n] = '\0';
}

void triml(char* text) {
  int n = 0;
  while (text[n] == ' ') ++n;
  if (n > 0) substr(text, n, text);
}

void trim(char* text) {
  trimr(text);
  triml(text);
}
