// The text part classes are created by name (catalogue rows, design files);
// a reference to this function keeps their records linked into a program.
#pragma once

bool TextPartClassesRegistered();
