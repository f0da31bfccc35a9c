// Deliberately unformatted (and named .cc so that formatting the tree leaves it alone): the
// format check must refuse it.
int  main( ) {return 0;}
