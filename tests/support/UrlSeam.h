// Records the addresses handed to the shell instead of opening them, while it
// lives; the shell reports each one as opened.
#pragma once

#include "platform/Shell.h"

#include <QString>

#include <vector>

struct UrlSeam {
  std::vector<QString> opened;
  UrlSeam() {
    SetUrlOpenerForTesting([this](const QString& url) {
      opened.push_back(url);
      return true;
    });
  }
  ~UrlSeam() { SetUrlOpenerForTesting(nullptr); }
  UrlSeam(const UrlSeam&) = delete;
  UrlSeam& operator=(const UrlSeam&) = delete;
};
