// The main window's side of the book window.
#pragma once

#include <memory>

#include "windows/book/book_host.h"

namespace yomira {

class TForm1;

std::unique_ptr<BookHost> MakeMainBookHost(TForm1& form);

}  // namespace yomira
