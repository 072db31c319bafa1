// The running-process count of the survey: plain on screen (row 14), coloured
// by its size in the forum view (row 35), each from its own refresh.
#pragma once

#include <string>

namespace survey {

std::string ProcessCountScreenLine(int count);
// Green up to 55, orange from 56 to 69, red from 70.
std::string ProcessCountForumLine(int count);

}  // namespace survey
