// lookup-test.cpp - (being written)
