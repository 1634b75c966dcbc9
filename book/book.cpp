#include "book/book.h"

#include <cstring>

char bookPath[BookPathSize];

void setBookPath(const char* path) {
    std::strncpy(bookPath, path, BookPathSize - 1);
    bookPath[BookPathSize - 1] = '\0';
}
