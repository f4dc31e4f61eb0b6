% The factorisation demo: its arguments, and both pictures drawn headless
% from a small cut of the test images.

%!test
%! folder = tempname ();
%! unwind_protect
%!   evalc ("[W, H, info] = nmf_demo (folder, 300);");
%!   assert ([size(W), size(H)], [784, 25, 25, 300]);
%!   assert (info.objective(end) < info.objective(1));
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

%!error <no image file /no/such/file> nmf_demo (tempdir (), 10, "/no/such/file")
%!error <image_count must be a positive integer or Inf> nmf_demo (tempdir (), 0)
%!error <image_count must be a positive integer or Inf> nmf_demo (tempdir (), NaN)
%!error <outdir must be a folder name> nmf_demo (3)

%!test
%! % Inpainting fills hidden pixels better than their means, and draws the
%! % three rows; the rank demo draws its curve and chooses one of its ranks.
%! folder = tempname ();
%! unwind_protect
%!   evalc ("[filled, info] = inpainting_demo (folder, 300);");
%!   assert (size (filled), [784, 300]);
%!   assert (info.hidden_rmse < 0.8 * info.baseline_rmse);
%!   picture = imread (fullfile (folder, "inpainting.png"));
%!   assert (size (picture), [3 * (3 * 28 + 3) + 3, 8 * (3 * 28 + 3) + 3]);
%!   evalc ("[k, cv] = rank_demo (folder, 300, [2 4 8]);");
%!   assert (any (k == [2 4 8]) && isequal (cv.ks, [2 4 8]));
%!   curve = imread (fullfile (folder, "rank_curve.png"));
%!   assert (numel (unique (curve(:))) > 2, "the rank curve is blank");
%! unwind_protect_cleanup
%!   if (exist (folder, "dir"))
%!     confirm_recursive_rmdir (false, "local");
%!     rmdir (folder, "s");
%!   end
%! end_unwind_protect
