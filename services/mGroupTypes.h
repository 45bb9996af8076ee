#pragma once

// The kinds of group: wType of tblListItems, and wGroupType of tblEvents (the kind of the
// touched button's group, stored with the touch).
enum : int { GroupTypeUser = 0, GroupTypeSite = 1, GroupTypeEventBook = 2 };
