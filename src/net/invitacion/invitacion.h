#pragma once
// Playing a friend through any router with an invitation code.
