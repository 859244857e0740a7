// The shared picture sets of the element classes: one per class, built on
// first use from the table in flow_visuals.cpp, all with three frames
// (0 idle, 1 running, 2 error).
#pragma once

class CVisual;

// The picture set of an element class by name; null for a class without one.
CVisual* FlowVisual(const char* className);
