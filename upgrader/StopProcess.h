#pragma once

#include <QString>

// Ends the current user's process whose executable file name equals name (the last one listed
// when several do). True only when one was found and the signal to end it was delivered.
bool StopProcessByName(const QString &name);
