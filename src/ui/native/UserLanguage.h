// Native stand-in for the user's primary language identifier; tests choose the system they mimic.
#pragma once

// Replaces the identifier that UserPrimaryLanguageId gives (9, English, until set).
void SetUserPrimaryLanguageId(int id);
