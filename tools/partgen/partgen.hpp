// partgen.hpp - writes the partition list file of Part(n), 1 <= n <= 10.
#pragma once
