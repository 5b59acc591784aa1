// Kinship in the language of the interface: the calendar layer's Chinese term
// under Chinese, words built here through the catalogue otherwise ("father's
// elder brother", "second cousin once removed"). The window, the relation
// query and the command line all speak through these.
#pragma once

#include "calendar/Kinship.h"

#include <QString>

// How the window and the command line name a person asked about by a
// member's name `name`: the name, or for his wife "张三之妻".
QString KinshipPersonName(const QString& name, const KinPerson& person);
// The word for what A calls B.
QString KinshipWords(const Kinship& kinship);
// "A 称 B 为 TERM" ("B is A's TERM" in English); for people with no ancestor
// in common, a sentence that says so.
QString KinshipLine(const QString& a, const QString& b, const Kinship& kinship);
// The shared ancestor and the generations from each of the two up to him;
// empty for one person, husband and wife, and people with no ancestor in
// common. `aToB` is said from A's side.
QString KinshipPath(const QString& a, const QString& b, const Kinship& aToB);
