// The common mainland Chinese word for a kinship (称谓): what A calls B.
// docs/kinship.md has the table and the forms past the named words.
#pragma once

#include "calendar/Kinship.h"

#include <cstdint>
#include <string>

// The term, e.g. 伯父, 堂侄女, 曾祖母, 十二世祖, 族兄; empty for Unrelated.
std::u16string KinshipTerm(const Kinship& kinship);

// A positive number in Chinese numerals as a count is read: 十, 十二, 二十,
// 一百零五, 一万零一十. Zero and below: 零.
std::u16string ChineseNumber(std::int64_t number);
