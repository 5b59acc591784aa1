// What the window says when the document refuses an edit: the message users
// have always seen for each broken rule. Adding and changing a member word
// some rules differently, as they always have.
#pragma once

#include "model/EditRules.h"

#include <QString>

enum class EditKind { Add, Change };

// Empty for kNone.
QString EditProblemText(EditProblem problem, EditKind kind);
