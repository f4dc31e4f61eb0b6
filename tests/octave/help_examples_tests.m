% The examples in the help of greedynmf and greedynmf_project, one for each
% option and the Example, and greedynmf_rank's Example, run as shown. Kept apart from the suites that
% also run under valgrind, where reading the help takes most of a minute.

%!test
%! run_help_examples ("greedynmf");

%!test
%! run_help_examples ("greedynmf_project");

%!test
%! warning ("off", "greedynmf:maxiter", "local");
%! evalc (help_example ("greedynmf_rank"));
