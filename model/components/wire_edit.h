// Editing operations on a design's wires shared by the route editor and the
// wires that follow a moved part.
#pragma once

class CCircuit;
class CWire;

// Takes the wire out of the design and deletes it, without following its
// run (the caller decided what goes): out of linked designs too, unlinked
// everywhere, its crossover halves deleted, its place repainted and a
// pending press on it forgotten.
void DeleteWire(CCircuit& design, CWire* w);
