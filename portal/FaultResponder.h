#pragma once

#include "State.h"

#include <httplib.h>

// Answers request the broken way that spec asks for. Returns false when the request is to be answered
// normally after all (a delay that ran out).
bool answerWithFault(const FaultSpec &spec, const httplib::Request &request, httplib::Response &response,
                     PortalState &state);

// Closes the request's connection without an answer. httplib does not hand out the socket, so it is
// found by its two port numbers among the process's descriptors.
bool resetConnection(const httplib::Request &request);
