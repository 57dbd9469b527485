#pragma once
// How the agent tells two HIPS paths apart (a filter's pattern, a trust relation's
// content): registry keys and Windows paths know no letter case, and a trailing wildcard
// means the same however often it is repeated. The filter editor and the trust editor
// both refuse a path that the host has already by this key.
#include <string>

// The folder of a pattern: without its trailing wildcards and backslashes.
std::wstring HipsPatternFolder(const std::wstring& pattern);
// The pattern as the agent reads it: lower case, one trailing "\*" for any run of them.
std::wstring HipsPatternKey(const std::wstring& pattern);
