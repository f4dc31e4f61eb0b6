% The build script users run inside MATLAB or Octave; here under Octave.

%!test
%! outdir = tempname ();
%! unwind_protect
%!   evalc ("build_plugins (outdir)");
%!   for name = {"greedycd", "hardsweep", "clipsweep", "sparsetimes", "fixedtimes", "nmfsolve"}
%!     assert (isfile (fullfile (outdir, [name{1} ".mex"])));
%!     assert (isfile (fullfile (outdir, [name{1} ".m"])));
%!   end
%!   addpath (outdir);
%!   assert (which ("greedycd"), fullfile (outdir, "greedycd.mex"));
%!   assert (greedycd ([2 -1; 0.5 5], eye (2), [1 2; 3 4], 0, 10), [0 3; 2.5 0]);
%!   assert (hardsweep ([2 0; 1 2], [-2 2; -1 1], 0.5, 2, 2), [1 -1; 0 0]);
%!   assert (clipsweep ([2 0; 1 2], [-2 2; -1 1], 0.5, 2, 2), [1 0; 0 0]);
%!   % The solver's threads, built with the flags the script gives them.
%!   settings = [1, 2, 1, 3, 0, Inf, 0, 2, 1e-5, 1, 0, 0, 0, 0, 3, 0, 0, 0];
%!   [Wt, H] = nmfsolve (magic (4), [], [], settings);
%!   settings(15) = 1;
%!   assert (isequal (nmfsolve (magic (4), [], [], settings), Wt));
%!   assert (! isempty (strfind (evalc ("help clipsweep"), "CLIPSWEEP")));
%! unwind_protect_cleanup
%!   rmpath (outdir);
%!   confirm_recursive_rmdir (false, "local");
%!   rmdir (outdir, "s");
%! end_unwind_protect
