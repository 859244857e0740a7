// The commands of the home screen and of published activities that the
// main frame answers: showing and toggling the Books and Blocks trees,
// choosing their folders, refreshing them, the answer file, the question
// results and moving every picture to a common folder.
#pragma once

class CHandlerMap;
class CMainFrame;

void RegisterHomeCommands(CHandlerMap& handlers, CMainFrame* frame);
