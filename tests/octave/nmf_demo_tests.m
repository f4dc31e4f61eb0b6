% The demo on a small cut of the test images draws both pictures headless.

%!test
%! folder = tempname ();
%! unwind_protect
%!   [W, H, history] = nmf_demo (folder, 300);
%!   assert (size (W), [25, 784]);
%!   assert (size (H), [25, 300]);
%!   assert (history.objective(end) < history.objective(1));
%!   plot = imread (fullfile (folder, "nmf_objective.png"));
%!   assert (size (plot, 1) >= 300 && size (plot, 2) >= 400, "the objective plot is too small");
%!   assert (numel (unique (plot(:))) > 2, "the objective plot is blank");
%!   basis = imread (fullfile (folder, "nmf_basis.png"));
%!   assert (size (basis), [5 * (3 * 28 + 2) + 2, 5 * (3 * 28 + 2) + 2]);
%!   assert (numel (unique (basis(:))) > 16, "the basis grid is blank");
%! unwind_protect_cleanup
%!   if (exist (folder, "dir"))
%!     confirm_recursive_rmdir (false, "local");
%!     rmdir (folder, "s");
%!   end
%! end_unwind_protect
