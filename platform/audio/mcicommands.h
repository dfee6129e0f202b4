// The four media-control helpers every recording is played through, over one program-wide
// MciInterpreter. Each caller owns its aliases; an alias holds one file at a time.
#pragma once

#include <string_view>

namespace wf {

class MciInterpreter;

MciInterpreter& mciInterpreter();

// "close A", "open \"PATH\" alias A", "play A"; true when the play command succeeded.
bool mciPlay(std::string_view path, std::string_view alias);
void mciClose(std::string_view alias);
// "status A position" / "status A length" in milliseconds; 0 when nothing is open.
int mciPosition(std::string_view alias);
int mciLength(std::string_view alias);

}  // namespace wf
