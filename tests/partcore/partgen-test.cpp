// partgen-test.cpp - (being written)
